#ifndef PELKO_BENCHES_H
#define PELKO_BENCHES_H

#include <functional>

// Every benchmark registers itself with PELKO_BENCH(name) { ... } in its own
// bench/*.cpp file; the program runs them all (or those named on the command
// line) and each prints its figures.
struct BenchRegistrar
{
    BenchRegistrar(const char *name, std::function<void()> run);
};

#define PELKO_BENCH(name)                                                                                              \
    static void name();                                                                                                \
    static const BenchRegistrar name##Registrar(#name, name);                                                          \
    static void name()

#endif // PELKO_BENCHES_H
