// The real program under a real X server (Xvfb, started by xvfb-run around this test) with real pointer
// and key input from xdotool: what only the platform delivers, a right-click menu and the Window menu's
// arrangements. The test looks at the screen as the X server holds it.
#include "support/ProgramProcess.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {
const QString kTitle = "OTK5530 Evaluation Software";
const QSize kMainSize(1260, 880);
// Generous bounds on conditions a healthy run meets at once; none is a deadline to pass.
constexpr int kStartWaitMs = 60000;
constexpr int kMenuWaitMs = 10000;
constexpr int kPollMs = 50;
// A row of the chart holds a white run at least this long; nothing else on screen does.
constexpr int kChartRunPixels = 300;
const char* const kPaintWarning = "QPainter::begin";

bool WaitUntil(const std::function<bool()>& done, int boundMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > boundMs)
            return done();
        QThread::msleep(kPollMs);
    }
    return true;
}

QString Xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start("xdotool", arguments);
    tool.waitForFinished(kMenuWaitMs);
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QImage Screen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

// The chart: the tallest band of rows holding a long run of white (a grid line or a trace may cross a
// few rows), and the extent of those runs. A frame's white edge elsewhere is a band of one row.
std::optional<QRect> ChartOnScreen(const QImage& screen) {
    constexpr int kLargestGap = 40;
    QRect band;
    QRect tallest;
    int lastRow = -kLargestGap - 1;
    for (int y = 0; y < screen.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        QRect runs;
        int start = 0;
        for (int x = 0; x <= screen.width(); ++x) {
            if (x < screen.width() && qRgb(255, 255, 255) == (row[x] | 0xff000000))
                continue;
            if (x - start >= kChartRunPixels)
                runs |= QRect(start, y, x - start, 1);
            start = x + 1;
        }
        if (runs.isEmpty())
            continue;
        band = y - lastRow > kLargestGap ? runs : band | runs;
        lastRow = y;
        if (band.height() > tallest.height())
            tallest = band;
    }
    return tallest.isEmpty() ? std::nullopt : std::optional<QRect>(tallest);
}

double WhiteShare(const QImage& screen, const QRect& area) {
    int white = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            white += (screen.pixel(x, y) | 0xff000000) == qRgb(255, 255, 255);
    return double(white) / (area.width() * area.height());
}

double ChangedShare(const QImage& before, const QImage& after, const QRect& area) {
    int changed = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    return double(changed) / (area.width() * area.height());
}

class Program {
public:
    explicit Program(const QStringList& arguments) {
        QSettings stored(StoredSettingsFile(home.path(), kTitle), QSettings::IniFormat);
        // At the screen's corner, in twips, as a user left it; the alarm lane shown.
        stored.setValue("Settings/MainLeft", "0");
        stored.setValue("Settings/MainTop", "0");
        stored.setValue("Settings/MainWidth", QString::number(kMainSize.width() * 15));
        stored.setValue("Settings/MainHeight", QString::number(kMainSize.height() * 15));
        stored.setValue("Graph/AlarmMarks", "1");
        stored.sync();
        QProcessEnvironment env = UnattendedEnvironment(home.path(), "drift=off");
        env.insert("QT_QPA_PLATFORM", "xcb");
        process.setProcessEnvironment(env);
        process.start(ProgramPath(), arguments);
    }
    ~Program() {
        process.kill();
        process.waitForFinished();
    }
    // The program's visible X windows: the main window, and a popup while one is open.
    QList<QRect> windows() {
        QList<QRect> found;
        const QString ids = Xdotool(
            {"search", "--onlyvisible", "--pid", QString::number(process.processId()), "--name", ".*"});
        for (const QString& id : ids.split('\n', Qt::SkipEmptyParts)) {
            QMap<QString, int> values;
            for (const QString& line : Xdotool({"getwindowgeometry", "--shell", id}).split('\n'))
                values[line.section('=', 0, 0)] = line.section('=', 1).toInt();
            found << QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
        }
        return found;
    }
    // A popup is smaller than the main window; the search also lists the screen's root window.
    static bool isPopup(const QRect& window) {
        return window.width() < kMainSize.width() && window.height() < kMainSize.height();
    }
    bool popupAt(QPoint corner) {
        for (const QRect& window : windows())
            if (isPopup(window) && (window.topLeft() - corner).manhattanLength() <= 4)
                return true;
        return false;
    }
    bool popupOpen() {
        for (const QRect& window : windows())
            if (isPopup(window))
                return true;
        return false;
    }
    // Shown with its graph drawn.
    bool waitForStart() {
        return WaitUntil([this] { return windows().contains(QRect(QPoint(0, 0), kMainSize)); },
                         kStartWaitMs) &&
               WaitUntil([] { return ChartOnScreen(Screen()).has_value(); }, kStartWaitMs);
    }
    // Gives the input at the point and waits for a menu with its corner there; closes it again.
    bool menuOpensAt(QPoint at, const QStringList& input) {
        Xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
        Xdotool(input);
        const bool opened = WaitUntil([&] { return popupAt(at); }, kMenuWaitMs);
        Xdotool({"key", "Escape"});
        WaitUntil([this] { return !popupOpen(); }, kMenuWaitMs);
        return opened;
    }
    QString errors() {
        stderrText += QString::fromLocal8Bit(process.readAllStandardError());
        return stderrText;
    }

    QTemporaryDir home;
    QProcess process;
    QString stderrText;
};

TEST(ChartMenu, OpensAtThePointerOnARightClickAnywhereOnTheChartAndOnTheMenuKeys) {
    Program program({});
    ASSERT_TRUE(program.waitForStart()) << program.errors().toStdString();
    // The toolbar's own menu proves the clicks arrive and a menu is seen when one opens.
    ASSERT_TRUE(program.menuOpensAt({1000, 38}, {"click", "3"})) << "no popup seen on the toolbar";

    const QRect chart = *ChartOnScreen(Screen());
    const struct {
        const char* place;
        QPoint at;
    } places[] = {
        {"plot area", chart.center()},
        {"temperature axis labels", {chart.left() + 12, chart.center().y()}},
        {"legend", {chart.right() - 70, chart.top() + 25}},
        {"alarm lane", {chart.center().x(), chart.bottom() - 30}},
    };
    for (const auto& place : places) {
        SCOPED_TRACE(place.place);
        ASSERT_TRUE(program.menuOpensAt(place.at, {"click", "3"}))
            << "at " << place.at.x() << ", " << place.at.y() << " on the chart at " << chart.x() << ", "
            << chart.y() << " (" << chart.width() << " x " << chart.height() << ")";
    }
    // The keys act on the chart with the focus, which a left click gives it.
    Xdotool({"mousemove", QString::number(chart.center().x()), QString::number(chart.center().y()), "click",
             "1"});
    const QPoint pointer = chart.center() + QPoint(40, 30);
    EXPECT_TRUE(program.menuOpensAt(pointer, {"key", "Menu"})) << "Menu key";
    EXPECT_TRUE(program.menuOpensAt(pointer, {"key", "shift+F10"})) << "Shift+F10";
    EXPECT_FALSE(program.errors().contains(kPaintWarning)) << program.errors().toStdString();
}

TEST(WindowArrangement, CascadeAndTileLeaveTheChartWholeAndNeverWarnOfPainting) {
    Program program({});
    ASSERT_TRUE(program.waitForStart()) << program.errors().toStdString();
    // Alone at its opening place, the graph's chart is where Cascade puts it back.
    const QRect chart = *ChartOnScreen(Screen());
    // With no window manager the keyboard follows a click: one on the status bar.
    Xdotool({"mousemove", "300", QString::number(kMainSize.height() - 10), "click", "1"});
    // The limits window and the register overview from their menu keys, as in a usual session.
    Xdotool({"key", "ctrl+m"});
    Xdotool({"key", "ctrl+shift+o"});
    auto windowMenu = [&](const char* key) {
        Xdotool({"key", "alt+w"});
        ASSERT_TRUE(WaitUntil([&] { return program.popupOpen(); }, kMenuWaitMs)) << "the Window menu";
        Xdotool({"key", key});
        ASSERT_TRUE(WaitUntil([&] { return !program.popupOpen(); }, kMenuWaitMs));
    };
    ASSERT_NO_FATAL_FAILURE(windowMenu("c"));
    // The graph, first in the Window menu's list, brought to the front.
    ASSERT_NO_FATAL_FAILURE(windowMenu("Return"));
    EXPECT_TRUE(WaitUntil([&] { return WhiteShare(Screen(), chart) > 0.7; }, kMenuWaitMs))
        << "the chart is not back at its size after Cascade";
    const QImage cascaded = Screen();
    ASSERT_NO_FATAL_FAILURE(windowMenu("t"));
    // Tile moves the windows: most of the main window's picture changes.
    EXPECT_TRUE(WaitUntil(
        [&] { return ChangedShare(cascaded, Screen(), QRect(QPoint(0, 0), kMainSize)) > 0.2; }, kMenuWaitMs))
        << "Tile moved nothing";
    // Whatever Tile did to its size, Cascade gives the graph back the size it opened with.
    ASSERT_NO_FATAL_FAILURE(windowMenu("c"));
    EXPECT_TRUE(WaitUntil([&] { return WhiteShare(Screen(), chart) > 0.7; }, kMenuWaitMs))
        << "the chart is not back at its size after Tile and Cascade";
    EXPECT_FALSE(program.errors().contains(kPaintWarning)) << program.errors().toStdString();
}

} // namespace

int main(int argc, char** argv) {
    // This test looks at the X server's screen; the program it drives runs there too.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
