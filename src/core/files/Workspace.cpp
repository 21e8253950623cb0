#include "files/Workspace.h"

#include "files/LogGrid.h"
#include "files/RegularFile.h"
#include "files/SettingsFile.h"
#include "views/StripChartRules.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <limits>

namespace {
// A workspace holds a few kilobytes; anything far larger is not one.
constexpr qint64 kLargestWorkspaceFile = 1024 * 1024;
// Far beyond any desktop, yet small enough that no sum of two overflows an int.
constexpr int kFarthestPixel = 100000;
constexpr int kLongestText = 4096;

QJsonObject rectObject(const QRect& rect) {
    return {{"x", rect.x()}, {"y", rect.y()}, {"width", rect.width()}, {"height", rect.height()}};
}

QJsonObject boardObject(const WorkspaceBoard& board) {
    QJsonObject object{{"backend", board.backend}, {"address", board.address}};
    if (board.manufacturerId && board.dieRevision) {
        object.insert("manufacturer_id", *board.manufacturerId);
        object.insert("die_revision", *board.dieRevision);
    }
    return object;
}

QJsonArray boolArray(const std::array<bool, 3>& flags) {
    return {flags[0], flags[1], flags[2]};
}

// Reads the known keys of one object; the first problem found is kept and every later read
// is a no-op, so a reader function can read on and the caller checks once.
class Reader {
public:
    explicit Reader(QString& problem) : m_problem(problem) {}

    bool failed() const { return !m_problem.isEmpty(); }

    void fail(const QString& key, const QString& why) {
        if (!failed())
            m_problem = QString("key \"%1\" %2").arg(key, why);
    }

    QJsonValue value(const QJsonObject& object, const QString& path, const QString& key) {
        const QJsonValue found = object.value(key);
        if (found.isUndefined())
            fail(path + key, "is missing");
        return found;
    }

    QJsonObject object(const QJsonObject& parent, const QString& path, const QString& key) {
        const QJsonValue found = value(parent, path, key);
        if (!failed() && !found.isObject())
            fail(path + key, "must be an object");
        return found.toObject();
    }

    bool flag(const QJsonObject& object, const QString& path, const QString& key) {
        const QJsonValue found = value(object, path, key);
        if (!failed() && !found.isBool())
            fail(path + key, "must be true or false");
        return found.toBool();
    }

    double number(const QJsonObject& object, const QString& path, const QString& key, double low,
                  double high) {
        const QJsonValue found = value(object, path, key);
        const double number = found.toDouble();
        if (!failed() && (!found.isDouble() || !std::isfinite(number) || number < low || number > high))
            fail(path + key, QString("must be a number from %1 to %2").arg(low).arg(high));
        return failed() ? low : number;
    }

    int whole(const QJsonObject& object, const QString& path, const QString& key, int low, int high) {
        const double number = this->number(object, path, key, low, high);
        if (!failed() && number != std::floor(number))
            fail(path + key, QString("must be a whole number from %1 to %2").arg(low).arg(high));
        return failed() ? low : static_cast<int>(number);
    }

    QString text(const QJsonObject& object, const QString& path, const QString& key) {
        const QJsonValue found = value(object, path, key);
        if (!failed() && (!found.isString() || found.toString().size() > kLongestText))
            fail(path + key, QString("must be a text of at most %1 characters").arg(kLongestText));
        return found.toString();
    }

    std::array<bool, 3> flags(const QJsonObject& object, const QString& path, const QString& key) {
        const QJsonValue found = value(object, path, key);
        const QJsonArray array = found.toArray();
        std::array<bool, 3> result{};
        bool good = found.isArray() && array.size() == 3;
        for (int i = 0; good && i < 3; ++i) {
            good = array[i].isBool();
            result[i] = array[i].toBool();
        }
        if (!failed() && !good)
            fail(path + key, "must be a list of three true or false (Local, Remote1, Remote2)");
        return result;
    }

    QRect rect(const QJsonObject& object, const QString& path) {
        const int x = whole(object, path, "x", -kFarthestPixel, kFarthestPixel);
        const int y = whole(object, path, "y", -kFarthestPixel, kFarthestPixel);
        const int width = whole(object, path, "width", 1, kFarthestPixel);
        const int height = whole(object, path, "height", 1, kFarthestPixel);
        return QRect(x, y, width, height);
    }

private:
    QString& m_problem;
};

WorkspaceGraph readGraph(Reader& read, const QJsonObject& graph) {
    const QString path = "graph.";
    WorkspaceGraph result;
    result.span = read.number(graph, path, "span_seconds", kMinTimeSpan, kHistorySeconds);
    result.low = read.number(graph, path, "temperature_low", kLowestTemperature, kHighestTemperature);
    result.high = read.number(graph, path, "temperature_high", kLowestTemperature, kHighestTemperature);
    if (!read.failed() && result.high - result.low < kMinTemperatureRange)
        read.fail(path + "temperature_high",
                  QString("must be at least %1 above \"temperature_low\"").arg(kMinTemperatureRange));
    result.visible = read.flags(graph, path, "visible");
    result.paused = read.flag(graph, path, "paused");
    result.functions.cursors = read.flag(graph, path, "cursors");
    result.functions.statistics = read.flag(graph, path, "statistics");
    result.functions.limitLines = read.flag(graph, path, "limit_lines");
    result.functions.alarmMarks = read.flag(graph, path, "alarm_marks");
    if (result.functions.cursors) {
        const QJsonValue cursors = read.value(graph, path, "cursor_seconds_before");
        const QJsonArray array = cursors.toArray();
        bool good = cursors.isArray() && array.size() == 2;
        for (int i = 0; good && i < 2; ++i) {
            const double before = array[i].toDouble(-1);
            good = array[i].isDouble() && std::isfinite(before) && before >= 0 && before <= kHistorySeconds;
            result.cursorsBefore[i] = before;
        }
        if (!read.failed() && !good)
            read.fail(path + "cursor_seconds_before",
                      QString("must be a list of two numbers of seconds from 0 to %1").arg(kHistorySeconds));
    }
    return result;
}

std::vector<RecallEntry> readRegisters(Reader& read, const QJsonObject& root) {
    const QJsonValue registers = read.value(root, "", "registers");
    if (!read.failed() && !registers.isArray())
        read.fail("registers", "must be a list of registers");
    std::vector<RecallEntry> entries;
    const QJsonArray list = registers.toArray();
    for (qsizetype i = 0; i < list.size() && !read.failed(); ++i) {
        const QString path = QString("registers[%1].").arg(i);
        if (!list[i].isObject()) {
            read.fail(path.chopped(1), "must be an object");
            break;
        }
        const QJsonObject entry = list[i].toObject();
        const RecallEntry saved{read.whole(entry, path, "address", 0, 255),
                                read.whole(entry, path, "value", 0, 255)};
        if (!read.failed() && !IsWritableRegisterAddress(saved.writeAddr))
            read.fail(path + "address", "names no writable register");
        entries.push_back(saved);
    }
    return entries;
}

void readWindows(Reader& read, const QJsonObject& root, Workspace& workspace, QStringList& notes,
                 const std::function<bool(const QString&)>& windowExists) {
    const QJsonValue windows = read.value(root, "", "windows");
    if (!read.failed() && !windows.isArray())
        read.fail("windows", "must be a list of windows");
    QSet<QString> seen;
    const QJsonArray list = windows.toArray();
    for (qsizetype i = 0; i < list.size() && !read.failed(); ++i) {
        const QString path = QString("windows[%1].").arg(i);
        if (!list[i].isObject()) {
            read.fail(path.chopped(1), "must be an object");
            break;
        }
        const QJsonObject window = list[i].toObject();
        WorkspaceWindow entry{read.text(window, path, "class"), read.rect(window, path)};
        if (read.failed())
            break;
        if (seen.contains(entry.className)) {
            read.fail(path + "class", QString("names %1 a second time").arg(entry.className));
            break;
        }
        seen.insert(entry.className);
        if (windowExists(entry.className))
            workspace.windows.append(entry);
        else
            notes.append(QString("The window \"%1\" no longer exists and was skipped.").arg(entry.className));
    }
}
} // namespace

QByteArray WorkspaceJson(const Workspace& workspace) {
    QJsonArray windows;
    for (const WorkspaceWindow& window : workspace.windows) {
        QJsonObject entry = rectObject(window.geometry);
        entry.insert("class", window.className);
        windows.append(entry);
    }
    QJsonObject root{{"format", kWorkspaceFormat},
                     {"version", kWorkspaceVersion},
                     {"main", rectObject(workspace.main)},
                     {"windows", windows},
                     {"logging", QJsonObject{{"file", workspace.logging.file},
                                             {"channels", boolArray(workspace.logging.channels)},
                                             {"interval_ms", workspace.logging.interval},
                                             {"start_logging", workspace.logging.startLogging}}},
                     {"board", boardObject(workspace.board)}};
    if (workspace.regMap)
        root.insert("register_map", QJsonObject{{"address", workspace.regMap->address},
                                                {"continuous_read", workspace.regMap->continuousRead}});
    if (workspace.registers) {
        QJsonArray registers;
        for (const RecallEntry& entry : *workspace.registers)
            registers.append(QJsonObject{{"address", entry.writeAddr}, {"value", entry.value}});
        root.insert("registers", registers);
    }
    if (const std::optional<WorkspaceGraph>& graph = workspace.graph) {
        QJsonObject entry{{"span_seconds", graph->span},
                          {"temperature_low", graph->low},
                          {"temperature_high", graph->high},
                          {"visible", boolArray(graph->visible)},
                          {"paused", graph->paused},
                          {"cursors", graph->functions.cursors},
                          {"statistics", graph->functions.statistics},
                          {"limit_lines", graph->functions.limitLines},
                          {"alarm_marks", graph->functions.alarmMarks}};
        if (graph->functions.cursors)
            entry.insert("cursor_seconds_before",
                         QJsonArray{graph->cursorsBefore[0], graph->cursorsBefore[1]});
        root.insert("graph", entry);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool SameBoard(const WorkspaceBoard& saved, const WorkspaceBoard& current) {
    const bool bothHaveIds = saved.manufacturerId && current.manufacturerId;
    return saved.backend == current.backend && saved.address == current.address &&
           (!bothHaveIds ||
            (saved.manufacturerId == current.manufacturerId && saved.dieRevision == current.dieRevision));
}

WorkspaceCheck ParseWorkspace(const QByteArray& bytes,
                              const std::function<bool(const QString&)>& windowExists) {
    WorkspaceCheck check;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        const qsizetype line = bytes.left(error.offset).count('\n') + 1;
        check.problem = QString("line %1 is no JSON (%2)").arg(line).arg(error.errorString());
        return check;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value("format").toString() != kWorkspaceFormat) {
        check.problem = QString("it is no workspace (no \"format\": \"%1\")").arg(kWorkspaceFormat);
        return check;
    }
    const QJsonValue version = root.value("version");
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) ||
        version.toDouble() < 1) {
        check.problem = "key \"version\" must be a whole number from 1";
        return check;
    }
    if (version.toDouble() > kWorkspaceVersion) {
        check.problem = QString("key \"version\" is %1: the workspace was made by a newer version of this "
                                "program, which reads up to version %2")
                            .arg(version.toDouble())
                            .arg(kWorkspaceVersion);
        return check;
    }

    Reader read(check.problem);
    Workspace workspace;
    workspace.main = read.rect(read.object(root, "", "main"), "main.");
    readWindows(read, root, workspace, check.notes, windowExists);
    const QJsonObject logging = read.object(root, "", "logging");
    workspace.logging.file = read.text(logging, "logging.", "file");
    workspace.logging.channels = read.flags(logging, "logging.", "channels");
    workspace.logging.interval = read.whole(logging, "logging.", "interval_ms", kShortestLogInterval,
                                            std::numeric_limits<int32_t>::max());
    workspace.logging.startLogging = read.flag(logging, "logging.", "start_logging");
    if (!read.failed() && workspace.logging.startLogging && workspace.logging.file.isEmpty())
        read.fail("logging.start_logging", "is true, but no \"file\" is named");
    const QJsonObject board = read.object(root, "", "board");
    workspace.board.backend = read.text(board, "board.", "backend");
    workspace.board.address = read.whole(board, "board.", "address", 0, 127);
    if (board.contains("manufacturer_id") || board.contains("die_revision")) {
        workspace.board.manufacturerId = read.whole(board, "board.", "manufacturer_id", 0, 255);
        workspace.board.dieRevision = read.whole(board, "board.", "die_revision", 0, 255);
    }
    if (root.contains("register_map")) {
        const QJsonObject regMap = read.object(root, "", "register_map");
        workspace.regMap = WorkspaceRegMap{read.whole(regMap, "register_map.", "address", 0, 255),
                                           read.flag(regMap, "register_map.", "continuous_read")};
    }
    if (root.contains("graph"))
        workspace.graph = readGraph(read, read.object(root, "", "graph"));
    if (root.contains("registers"))
        workspace.registers = readRegisters(read, root);
    if (read.failed()) {
        check.notes.clear();
        return check;
    }
    check.workspace = workspace;
    return check;
}

WorkspaceCheck LoadWorkspaceFile(const QString& path,
                                 const std::function<bool(const QString&)>& windowExists) {
    // A device or pipe could block the open or never end: only plain files are read.
    const WholeFile file = ReadRegularFile(NativeName(path), kLargestWorkspaceFile);
    WorkspaceCheck check;
    if (file.error == FileOpenError::NotAFile)
        check.problem = "it is no plain file";
    else if (file.error == FileOpenError::CannotOpen)
        check.problem = QString("it could not be opened (%1)").arg(file.errorText);
    else if (file.tooLarge)
        check.problem = "it is too large to be a workspace";
    else
        check = ParseWorkspace(file.bytes, windowExists);
    if (!check.workspace)
        check.problem = QString("The file\n%1\ncannot be opened as a workspace: %2. Nothing was changed.")
                            .arg(QDir::toNativeSeparators(path), check.problem);
    return check;
}
