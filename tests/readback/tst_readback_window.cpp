// What the window does with each answer it is handed: the console echo, the
// status box after VERSION and the features each release opens, the LoRa tab
// and the Algos tab filled from what the device reported.

#include "link/timing.h"
#include "mainwindow.h"
#include "readback/dumpkeytable.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "golden.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>
#include <tuple>

namespace {

QByteArray versionAnswer(const QByteArray &release)
{
    return "\x1b[32mFirmware : v" + release + "\x1b[0m\r\nOK\r\n>";
}

// Every field under `area` as the user sees it (its value, whatever its kind),
// whether it is open and whether it takes typing.
QStringList formState(QWidget &area)
{
    QStringList lines;
    for (QWidget *w : area.findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        const auto *edit = qobject_cast<QLineEdit *>(w);
        QVariant shown = QStringLiteral("no field %1").arg(name);
        if (edit)
            shown = edit->text();
        else if (qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QSlider *>(w))
            shown = w->property("value");
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            shown = combo->currentIndex();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            shown = button->isChecked();
        else if (!qobject_cast<QLabel *>(w))
            continue;
        lines << QStringLiteral("%1 %2 %3%4")
                     .arg(name, shown.toString(), w->isEnabled() ? "on" : "off",
                          edit && edit->isReadOnly() ? " read-only" : "");
    }
    return lines;
}

const QByteArray kLoRaAnswer =
    "ACK is enabled\r\nADR is disabled\r\nNetwork is PRIVATE\r\nMode : OTAA\r\n"
    "DevEui : 70B3D57ED0001234\r\nAppEui : 0011223344556677\r\n"
    "AppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\nNwkSKey : 000102030405060708090A0B0C0D0E0F\r\n"
    "AppSKey : F0E0D0C0B0A090807060504030201000\r\nDevAddr : 26011BDA\r\nNwkID : 000013\r\n"
    "Default_DR : 4\r\nJoinRequestError Timeout : 48h\r\nOK\r\n>";

// The window as the user sees it: every field, the status box, the console,
// and what the window keeps of the device.
QStringList windowState(MainWindow &window)
{
    const FormProbe form(window);
    return formState(window)
           << "status " + form.statusShown() << "console " + form.find<QTextEdit>("consoleOutput")->toPlainText()
           << QStringLiteral("release %1, quiet time %2 ms, %3 algorithms counted")
                  .arg(double(window.firmwareVersion))
                  .arg(readTimeout)
                  .arg(window.activeAlgorithmCount)
           << QStringLiteral("locked DevEUI %1 AppKEY %2").arg(window.devEuiLocked).arg(window.appKeyLocked)
           << QStringLiteral("kept LoRa %1 dump %2").arg(!window.loraAnswer.isEmpty()).arg(!window.paramDump.isEmpty());
}

} // namespace

// The key table is process-wide and keeps its values; every test starts from
// a table that has never seen a dump, in a new window.
class ReadbackWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_window.reset(); }

    void eachAnswerChangesTheWindowAsTheGoldenFileSays();
    void applyingADumpMatchesTheGoldenForm();
    void readWithoutALinkTellsTheUserToConnect();

private:
    std::unique_ptr<MainWindow> m_window;
};

void ReadbackWindowTest::init()
{
    readTimeout = 200; // as at start, before any release is identified
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
    m_window.reset(new MainWindow);
}

void ReadbackWindowTest::eachAnswerChangesTheWindowAsTheGoldenFileSays()
{
    // Boxes and fields set before (from code, as a read would), the release
    // identified before, the command and the device's answer. The rows show
    // the status box and console after VERSION, what each release opens (and
    // an older one does not close), answers refused or cut short changing
    // nothing, the LoRa tab (release gates of the data rate and time-out,
    // masked key, identities locked, typed text kept, missing fields, no
    // network named), and a dump ticking the algorithms it names over their
    // values while VIBRATION, which no sentence names, keeps its box.
    using Row = std::tuple<QList<QPair<const char *, QVariant>>, QByteArray, QByteArray, QByteArray>;
    QList<Row> rows = {
        {{}, "", "VERSION", versionAnswer("2.2")},
        {{}, "", "VERSION", "<i>Firmware : v2.2</i>\r\nOK\r\n>"},
        {{}, "2.2", "VERSION", "Firmware : vX\r\nOK\r\n>"},
        {{}, "1.8", "VERSION", ""},
        {{{"cbTilt", true}}, "2.2", "VERSION", "Firmware : v1.8\r\nOK\r\n>"},
        {{{"cbMvt", true}}, "2.2", "VERSION", "Firmware : v1.8\r\nOK\r\n>"},
        {{{"cbChoc", true}}, "", "LORA GET", "Mode : OTAA\r\nOK\r\n>"},
        {{{"cbChoc", true}}, "", "DUMP RAM PARAM", QByteArray("------- COMMON -------\r\n\0OK\r\n>", 31)},
        {{{"cbChoc", true}}, "", "DUMP RAM PARAM", "NOK\r\n>"},
        {{{"cbChoc", true}}, "", "DUMP RAM PARAM", QByteArray("------- CHOC -------\r\n\0gxSup : 70", 33)},
        {{{"cbChoc", true}}, "", "LORA GET", "Mode : ABP\r\nNOK\r\n>"},
        {{{"cbChoc", true}}, "", "LORA GET", "Mode : ABP\r\nDevEui : 70B3"},
        {{{"cbChoc", true}}, "", "LORA SET", "Mode : ABP\r\nOK\r\n>"},
        {{{"leDevADDR", "12"}},
         "2.2",
         "LORA GET",
         "Mode : ABP\r\nDevEui : 0000000000000000\r\nDevAddr : 26011BDA\r\n"
         "AppKey : 00000000000000000000000000000000\r\nOK\r\n>"},
        {{{"leAppEUI", "ABC"}, {"leNwkID", "42"}, {"xLoRaDefaultDR", 2}, {"xJRErrorTimeout", 36}},
         "2.2",
         "LORA GET",
         "DevEui : 70B3D57ED0001234\r\nAppEui is not set\r\nOK\r\n>"},
        {{{"rbPublicNetwork", false}, {"rbPrivateNetwork", true}},
         "2.2",
         "LORA GET",
         "ACK is disabled ACK is enabled\r\nOK\r\n>"},
        {{{"cbMvt", true}},
         "2.2",
         "DUMP RAM PARAM",
         QByteArray("------- COMMON -------\r\n_Poweroff : allowed\r\n_------- ALIVE -------\r\n_"
                    "Algorithm ALIVE enable.\r\n_------- CHOC -------\r\n_gxSup : 1500\r\n_"
                    "Algorithm SHOCK enable.\r\n_------- TILT -------\r\n_period : 4000\r\n_"
                    "Algorithm TILT enable.\r\n_OK\r\n>")
             .replace('_', '\0')},
        {{{"cbChoc", true}, {"cbTilt", true}, {"cbAllowPowerOFF", true}, {"cbVibe", true}},
         "2.2",
         "DUMP RAM PARAM",
         "OK\r\n>"},
    };
    for (const char *release : {"1.8", "1.9", "1.9.1", "2.2"})
        rows.append({{}, release, "LORA GET", kLoRaAnswer});
    for (const char *release : {"1.9.1", "1.9.2", "1.9.3", "2.0", "2.1", "2.1.1", "2.1.2", "2.2"})
        for (const char *box : {"cbTilt", "cbMvt"})
            rows.append({{{box, true}}, "", "VERSION", versionAnswer(release)});

    DebugLog log;
    QStringList all;
    for (const auto &[set, earlier, cmd, answer] : rows) {
        init();
        QStringList setting;
        for (const auto &[name, value] : set) {
            QWidget *w = FormProbe(*m_window).find<QWidget>(name);
            w->metaObject()->userProperty().write(w, value);
            setting << name + QStringLiteral("=") + value.toString();
        }
        QByteArray version = versionAnswer(earlier), given = answer;
        if (!earlier.isEmpty())
            m_window->decodePelkoData("VERSION", version);
        const QStringList before = windowState(*m_window);
        m_window->decodePelkoData(cmd, given);
        const QStringList after = windowState(*m_window);
        all << QStringLiteral("### %1 after %2 with %3: %4")
                   .arg(cmd, earlier.isEmpty() ? "no VERSION" : earlier, setting.join(' '),
                        QString::fromLatin1(answer.toPercentEncoding(" :<>/.!")).left(80));
        for (int i = 0; i < after.size(); ++i)
            if (after.at(i) != before.value(i))
                all << after.at(i).section(' ', 0, 0) + ": " + before.value(i).section(' ', 1) + " -> " +
                           after.at(i).section(' ', 1);
    }
    for (QString &line : all)
        line.replace('\n', QLatin1String("\\n"));
    PELKO_COMPARE_WITH_GOLDEN(all, "answers.txt");
}

void ReadbackWindowTest::applyingADumpMatchesTheGoldenForm()
{
    // Values chosen to reach every conversion: periods in milliseconds,
    // hundredths, ranges, frequencies, burst counts and mode bits.
    const std::function<int(int)> fillings[] = {
        [](int i) { return (i * 7919) % 5000 - 500; },
        [](int i) { return i % 3; },
        [](int i) { return i % 2 ? 7200000 + i * 1001 : -1; },
        [](int i) { return (i * 37) % 64; },
        [](int i) { return 1 << (i % 6); },
        [](int) { return 0; }, // a sensor laid flat, unless ROTATION keeps it upright
    };
    QStringList all;
    int n = 0;
    for (const auto &filling : fillings) {
        for (bool rotation : {false, true}) {
            init();
            FormProbe(*m_window).find<QCheckBox>("cbRotation")->setChecked(rotation);
            for (int i = 0; i < kDumpKeyCount; ++i)
                dumpKeyTable[i].decodedValue = filling(i);
            DebugLog log;
            m_window->applyParameters();
            all << QStringLiteral("### filling %1, rotation %2").arg(n).arg(rotation) << formState(*m_window);
            for (const QString &line : log.lines())
                all << "log " + line;
        }
        ++n;
    }
    PELKO_COMPARE_WITH_GOLDEN(all, "applied_forms.txt");
}

void ReadbackWindowTest::readWithoutALinkTellsTheUserToConnect()
{
    DialogWatcher dialogs;
    m_window->portReady = false;
    // A button left enabled by mistake must not reach a closed port.
    FormProbe form(*m_window);
    form.find("readAlgoButton")->setEnabled(true);
    form.click("readAlgoButton");
    QCOMPARE(dialogs.summary(), boxesOf({Error::NotConnected}));
    QCOMPARE(form.statusShown(), statusOf(Error::NotConnected));
}

QTEST_MAIN(ReadbackWindowTest)
#include "tst_readback_window.moc"
