// Writes the seed corpora of the fuzz targets: real answers of the simulated
// device, as they come over the wire (content, status and trailer). Run once
// and commit the files; rerun when the device's answers change:
//
//   capture_corpus <fuzz/corpus>
//
// Each target's folder gets the answers that its decoder reads.

#include "simfirmware.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

namespace {

QString g_root;
int g_failures = 0;

void store(const char *target, const QString &name, const QByteArray &bytes)
{
    const QString dir = g_root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(dir);
    QFile file(dir + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        ++g_failures;
    }
}

QByteArray ask(SimFirmware &device, const QByteArray &line)
{
    return device.handle(line).wire();
}

QString slug(const QString &release)
{
    QString s = release;
    return s.replace(QLatin1Char('.'), QLatin1Char('_'));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);

    const char *const releases[] = {"1.6", "1.8", "1.9", "1.9.1", "1.9.3", "2.1.1", "2.2"};
    for (const char *r : releases) {
        const QString release = QString::fromLatin1(r);
        SimFirmware device;
        device.setRelease(release);
        const QByteArray version = ask(device, "VERSION");
        store("firmware", QStringLiteral("version-%1").arg(slug(release)), version);
        store("answertext", QStringLiteral("version-%1").arg(slug(release)), version);
        store("commandline", QStringLiteral("version-%1").arg(slug(release)), version);
        const QByteArray lora = ask(device, "LORA GET  0");
        store("lorafields", QStringLiteral("lora-%1").arg(slug(release)), lora);
        // The window target takes every answer as each decoded command's.
        if (release == QLatin1String("1.9.1") || release == QLatin1String("2.2")) {
            store("window", QStringLiteral("version-%1").arg(slug(release)), version);
            if (release == QLatin1String("2.2"))
                store("window", QStringLiteral("lora-2_2"), lora);
        }
    }

    // A device configured away from its factory values: ABP, private network,
    // confirmed messages, a real key, so the other sentences are seen too.
    {
        SimFirmware device;
        device.setRelease(QStringLiteral("2.2"));
        const QByteArray lines[] = {
            "LORA SET OTAA 0",
            "LORA SET PUBLICNETWORK 0",
            "LORA SET ACK 1",
            "LORA SET ADR 1",
            "LORA SET DEVEUI 70B3D57ED0001234",
            "LORA SET APPKEY 2B7E151628AED2A6ABF7158809CF4F3C",
            "LORA SET DEVADDR 26011BDA",
            "LORA SET NWKID 000013",
            "LORA SET JRERROR 120",
            "LORA SET DEFAULT_DR 5",
            "SAVEPARAM LORA 0",
        };
        for (const QByteArray &line : lines)
            device.handle(line);
        const QByteArray lora = ask(device, "LORA GET  0");
        store("lorafields", QStringLiteral("lora-abp-private"), lora);
        store("answertext", QStringLiteral("lora-abp-private"), lora);
        store("window", QStringLiteral("lora-abp-private"), lora);
    }

    // Dumps: factory parameters of an old and a new release, and one with
    // every algorithm switched on and values away from their defaults.
    const char *const dumpReleases[] = {"1.8", "2.2"};
    for (const char *r : dumpReleases) {
        SimFirmware device;
        device.setRelease(QString::fromLatin1(r));
        device.handle("DEBUG 1");
        const QByteArray dump = ask(device, "DUMP RAM PARAM  0");
        store("dumpscan", QStringLiteral("dump-%1").arg(slug(QString::fromLatin1(r))), dump);
        if (QByteArray(r) == "1.8")
            store("window", QStringLiteral("dump-1_8"), dump);
    }
    {
        SimFirmware device;
        device.setRelease(QStringLiteral("2.2"));
        const QByteArray lines[] = {
            "ALGO 0x1bf",     "CHOC gxSup 5000", "CHOC freq 100",     "MVT sensitivity -3", "TILT alertPeriod 30",
            "TEMP max -1250", "ORIENT yaw 45",   "VIBE freq_max 200", "SAVEPARAM ALGO 0",   "DEBUG 1",
        };
        for (const QByteArray &line : lines)
            device.handle(line);
        const QByteArray dump = ask(device, "DUMP RAM PARAM  0");
        store("dumpscan", QStringLiteral("dump-all-algorithms"), dump);
        store("window", QStringLiteral("dump-all-algorithms"), dump);
    }

    // Short answers: acknowledgements, refusals, the battery level.
    {
        SimFirmware device;
        device.setRelease(QStringLiteral("2.2"));
        const QByteArray ready = ask(device, "READY");
        const QByteArray refused = ask(device, "NOSUCH x 0");
        const QByteArray battery = ask(device, "BATTERY GET LIFE  0");
        const QByteArray save = ask(device, "SAVEPARAM ALGO 0");
        store("commandline", QStringLiteral("ready"), ready);
        store("commandline", QStringLiteral("refused"), refused);
        store("commandline", QStringLiteral("save"), save);
        store("commandline", QStringLiteral("battery"), battery);
        store("answertext", QStringLiteral("battery"), battery);
        store("window", QStringLiteral("battery"), battery);
        store("answertext", QStringLiteral("refused"), refused);
    }
    return g_failures == 0 ? 0 : 1;
}
