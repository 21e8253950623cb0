#include "cli/BoardOption.h"

#include "adapter/SimConfig.h"
#include "app/ConnectionSequence.h"
#include "cli/CliArgs.h"
#include "cli/CliOutput.h"
#include "cli/PromMetrics.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kSimPrefix = "sim:", kUsbPrefix = "usb:", kI2cPrefix = "i2c:";
constexpr char kSimKeyMessagePrefix[] = "OTK5530_SIM: ";

std::optional<int32_t> searchedAddress(const QString& text) {
    const std::optional<int> address = ParseByteText(text);
    if (!address || *address < GeneralStuff::kFirstSearchAddress ||
        *address > GeneralStuff::kLastSearchAddress)
        return std::nullopt;
    return *address;
}

QString addressRange() {
    return QString("%1..%2").arg(ByteText(GeneralStuff::kFirstSearchAddress),
                                 ByteText(GeneralStuff::kLastSearchAddress));
}

// The simulated board's keys over the environment's, checked as the board will read them; the
// chip served is the lowest one the search would find.
std::optional<BoardOption> simBoard(const QString& text, const QString& keys, const std::string& environment,
                                    QString& error) {
    SimConfig config;
    std::string reason;
    if (!ParseSimConfig(environment, config, reason)) {
        error = QString::fromStdString(reason);
        return std::nullopt;
    }
    config = SimConfig{};
    if (!ParseSimConfig(OverrideSimKeys(environment, keys.toStdString()), config, reason)) {
        if (reason.rfind(kSimKeyMessagePrefix, 0) == 0)
            reason.erase(0, sizeof kSimKeyMessagePrefix - 1);
        error = "--board " + text + ": " + QString::fromStdString(reason);
        return std::nullopt;
    }
    BoardOption board;
    board.choice.kind = AdapterKind::Simulated;
    board.choice.simKeys = keys.toStdString();
    for (int address : config.addresses)
        if (address >= GeneralStuff::kFirstSearchAddress && address <= GeneralStuff::kLastSearchAddress &&
            (!board.address || address < *board.address))
            board.address = address;
    if (!board.address) {
        error = "--board " + text + ": no chip on this board at an address the chip is searched at (" +
                addressRange() + ")";
        return std::nullopt;
    }
    return board;
}

// "usb", "usb:1-3", "usb:1-2.3,0x4C".
std::optional<BoardOption> usbBoard(const QString& text, const QString& rest, QString& error) {
    static const QRegularExpression place("^([0-9]{1,3})-([0-9]{1,3}(?:\\.[0-9]{1,3}){0,6})$");
    QStringList parts = rest.split(',');
    BoardOption board;
    board.choice.kind = AdapterKind::Usb;
    const QString placeText = parts.takeFirst();
    if (!placeText.isEmpty()) {
        const QRegularExpressionMatch match = place.match(placeText.mid(1));
        if (!placeText.startsWith(':') || !match.hasMatch()) {
            error = "--board " + text + ": expected the adapter's bus and hub ports as lsusb -t and /sys " +
                    "show them, such as usb:1-3 or usb:1-2.3";
            return std::nullopt;
        }
        board.choice.usbBus = match.captured(1).toInt();
        board.choice.usbPortPath = match.captured(2).toStdString();
    }
    for (const QString& part : parts) {
        const std::optional<int32_t> address = searchedAddress(part);
        if (!address || board.address) {
            error = "--board " + text + ": \"" + part + "\" is not one chip address (" + addressRange() + ")";
            return std::nullopt;
        }
        board.address = address;
    }
    return board;
}

// "i2c:/dev/i2c-1", "i2c:/dev/i2c-1,0x4C,force".
std::optional<BoardOption> i2cBoard(const QString& text, const QString& rest, QString& error) {
    QStringList parts = rest.split(',');
    BoardOption board;
    board.choice.kind = AdapterKind::LinuxI2c;
    board.choice.i2cPath = parts.takeFirst().trimmed().toStdString();
    if (board.choice.i2cPath.empty()) {
        error = "--board " + text + ": expected the bus device after i2c:, such as i2c:/dev/i2c-1";
        return std::nullopt;
    }
    for (const QString& part : parts) {
        const std::optional<int32_t> address = searchedAddress(part);
        if (part.trimmed() == "force" && !board.choice.i2cForce) {
            board.choice.i2cForce = true;
        } else if (address && !board.address) {
            board.address = address;
        } else {
            error = "--board " + text + ": \"" + part + "\" is neither one chip address (" + addressRange() +
                    ") nor force";
            return std::nullopt;
        }
    }
    return board;
}

} // namespace

std::optional<BoardOption> ParseBoardOption(const QString& text, const std::string& simEnvironment,
                                            QString& error) {
    const QString option = text.trimmed();
    if (option == "sim" || option.startsWith(kSimPrefix))
        return simBoard(text, option.mid(kSimPrefix.size()), simEnvironment, error);
    if (option == "usb" || option.startsWith(kUsbPrefix) || option.startsWith("usb,"))
        return usbBoard(text, option.mid(3), error);
    if (option.startsWith(kI2cPrefix))
        return i2cBoard(text, option.mid(kI2cPrefix.size()), error);
    error = "--board " + text +
            ": expected sim:KEY=VALUE,..., usb[:BUS-PORTS][,ADDRESS] or i2c:/dev/i2c-N[,ADDRESS][,force]";
    return std::nullopt;
}

std::optional<BoardOption> DefaultBoardOption(const QString& adapterChoice, std::optional<int32_t> address,
                                              const std::string& simEnvironment, QString& error) {
    const QString fromEnvironment = qEnvironmentVariable("OTK5530_ADAPTER");
    const QString text = adapterChoice.isEmpty() ? fromEnvironment : adapterChoice;
    AdapterChoice choice;
    std::string reason;
    if (!text.isEmpty() && !ParseAdapterChoice(text.toStdString(), choice, reason)) {
        error = (adapterChoice.isEmpty() ? "OTK5530_ADAPTER: " : "") + QString::fromStdString(reason);
        return std::nullopt;
    }
    std::optional<BoardOption> board;
    if (choice.kind == AdapterKind::Simulated) {
        board = simBoard("sim", {}, simEnvironment, error);
        if (!board)
            return std::nullopt;
    } else {
        board = BoardOption{};
        board->choice = choice;
    }
    if (address)
        board->address = address;
    return board;
}

std::optional<std::vector<BoardOption>> ParseBoardOptions(const QStringList& texts,
                                                          const QString& adapterChoice,
                                                          std::optional<int32_t> address,
                                                          const std::string& simEnvironment, QString& error) {
    std::vector<BoardOption> boards;
    if (texts.isEmpty()) {
        std::optional<BoardOption> board = DefaultBoardOption(adapterChoice, address, simEnvironment, error);
        if (!board)
            return std::nullopt;
        boards.push_back(*board);
        return boards;
    }
    if (!adapterChoice.isEmpty() || address) {
        error = QString(address ? "--address" : "--adapter") + " and --board exclude each other: give the " +
                (address ? "address" : "adapter") + " in --board";
        return std::nullopt;
    }
    for (qsizetype i = 0; i < texts.size(); ++i) {
        std::optional<BoardOption> board = ParseBoardOption(texts[i], simEnvironment, error);
        if (!board)
            return std::nullopt;
        for (qsizetype j = 0; j < i; ++j) {
            const BoardOption& earlier = boards[static_cast<size_t>(j)];
            const bool sameAdapter = board->choice.kind == AdapterKind::Usb &&
                                     earlier.choice.kind == AdapterKind::Usb &&
                                     board->choice.usbBus == earlier.choice.usbBus &&
                                     board->choice.usbPortPath == earlier.choice.usbPortPath;
            if (sameAdapter || ChipLabel(*board) == ChipLabel(earlier)) {
                error = "--board " + texts[j] + " and --board " + texts[i] +
                        (sameAdapter ? " name the same USB adapter"
                                     : " would share the label " + ChipLabel(*board) +
                                           ": give them different addresses");
                return std::nullopt;
            }
        }
        boards.push_back(*board);
    }
    return boards;
}

QString BoardPlace(const AdapterChoice& choice) {
    switch (choice.kind) {
    case AdapterKind::Simulated:
        break;
    case AdapterKind::Usb:
        return choice.usbBus < 0
                   ? QString("usb")
                   : QString("usb-%1-%2").arg(choice.usbBus).arg(QString::fromStdString(choice.usbPortPath));
    case AdapterKind::LinuxI2c: {
        // /dev/i2c-1 gives i2c-1; another device name is kept as far as a label may hold it.
        QString name = QFileInfo(QString::fromStdString(choice.i2cPath)).fileName();
        name.replace(QRegularExpression("[^A-Za-z0-9_.-]"), "-");
        return name.startsWith("i2c") ? name : "i2c-" + name;
    }
    }
    return "sim";
}

QString ChipLabel(const BoardOption& board) {
    const QString place = BoardPlace(board.choice);
    return board.address ? QString::fromStdString(BoardIdentity(place.toStdString(), *board.address).chip)
                         : place;
}
