// The window's side of every answer: the dispatcher echoes the answer in the
// console and hands it to the decoders, which fill the form. Each input is
// given, as the answer, to the four commands whose answers are decoded, in
// the order a session meets them, on a fresh window (whose session starts
// with no dump values).

#include "fuzzsupport.h"

#include "mainwindow.h"

#include <QApplication>
#include <QTextEdit>

#include <cstdlib>

namespace {

// Lives until the process ends: destroying it from an exit handler would
// run after Qt's own statics are gone.
QApplication *g_app = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fuzzSilenceDebugLog();
    g_app = new QApplication(*argc, *argv);
    // Fonts and styles are loaded and cached for the process by the first
    // window; that happens here, not in the first input's leak check.
    {
        MainWindow warmUp;
        QByteArray none;
        warmUp.decodePelkoData("VERSION", none);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MainWindow window;
    const QByteArray answer = fuzzBytes(data, size);

    for (const char *cmd : {"VERSION", "LORA GET", "DUMP RAM PARAM", "BATTERY GET LIFE"}) {
        QByteArray readData = answer;
        FUZZ_CHECK(window.decodePelkoData(cmd, readData) == 0);
    }

    // Device text reaches the console as text, never as markup.
    const auto *console = window.findChild<QTextEdit *>(QStringLiteral("consoleOutput"));
    FUZZ_CHECK(console != nullptr);
    FUZZ_CHECK(!console->toPlainText().contains(QChar(0)));
    return 0;
}
