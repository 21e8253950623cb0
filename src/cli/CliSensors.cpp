#include "cli/CliSensors.h"

#include "cli/CliArgs.h"
#include "cli/CliMeasure.h"
#include "device/ChipAccess.h"
#include "device/USBStuff.h"
#include "views/LimitEncoding.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {
const QString kCelsius = QStringLiteral("°C");

// As sensors shows a temperature: signed, one decimal unless the quarter needs two.
QString sensorsNumber(double celsius) {
    const bool tenths = std::abs(celsius * 10 - std::round(celsius * 10)) < 1e-9;
    return QString::asprintf(tenths ? "%+.1f" : "%+.2f", celsius) + kCelsius;
}
} // namespace

Report SensorsVerb() {
    const Row temps = TemperatureRow({true, true, true});
    Report report{"sensors"};
    for (int channel = 0; channel < 3; ++channel) {
        const Cell& reading = temps.at(static_cast<size_t>(channel) + 1);
        Row row{TextCell("channel", ChannelNames()[channel]), reading};
        row[1].key = "temperature";
        // While Remote 2 is selected Remote 1's limits are out of reach, as its reading is.
        if (channel == 1 && USBStuff::ProgramChip().Remote2Selected) {
            for (const char* key : {"high", "low", "therm"})
                row.push_back(MissingCell(key, kCelsius, reading.text));
            row.push_back(TextCell("flags", {}));
            report.rows.push_back(row);
            continue;
        }
        const GaugeLimits limits = ReadGaugeLimitBytes(channel, USBStuff::ProgramChip().ExtendedRange,
                                                       [](int32_t readAddr) { return ReadChip(readAddr); });
        row.push_back(NumberCell("high", limits.high, kCelsius));
        row.push_back(NumberCell("low", limits.low, kCelsius));
        row.push_back(NumberCell("therm", limits.therm, kCelsius));
        QStringList flags;
        if (reading.alarms.contains("high") || reading.alarms.contains("low"))
            flags << "ALARM";
        if (reading.alarms.contains("THERM"))
            flags << "THERM";
        if (!reading.fault.isEmpty())
            flags << "OPEN";
        row.push_back(TextCell("flags", flags.join(' ')));
        report.rows.push_back(row);
    }
    return report;
}

QString SensorsChipName(const QString& adapterChoice, const CliConnection& connection, int32_t address) {
    QString bus = connection.simulated ? "sim" : "usb";
    if (adapterChoice.startsWith("i2c:"))
        bus = adapterChoice.section(',', 0, 0).section('/', -1);
    return QString("otk5530-%1-%2").arg(bus).arg(address, 2, 16, QChar('0'));
}

QByteArray RenderSensorsText(const Report& report, const QString& chipName, const QString& adapter) {
    QString text = chipName + "\nAdapter: " + adapter + "\n";
    for (const Row& row : report.rows) {
        const Cell& reading = row[1];
        const QString value = reading.kind == Cell::Kind::Number ? sensorsNumber(reading.number)
                              : reading.fault.isEmpty()          ? "N/A"
                                                                 : "OPEN";
        QString line = (row[0].text + ":").leftJustified(10) + value.rightJustified(10);
        if (row[2].kind == Cell::Kind::Number)
            line += QString("  (high = %1, low = %2, crit = %3)")
                        .arg(sensorsNumber(row[2].number), sensorsNumber(row[3].number),
                             sensorsNumber(row[4].number));
        if (!row[5].text.isEmpty())
            line += "  " + row[5].text;
        text += line + "\n";
    }
    return text.toUtf8();
}

QByteArray RenderSensorsJson(const Report& report, const QString& chipName, const QString& adapter) {
    QJsonObject chip{{"Adapter", adapter}};
    for (size_t i = 0; i < report.rows.size(); ++i) {
        const Row& row = report.rows[i];
        const QString temp = QString("temp%1_").arg(i + 1);
        const Cell& reading = row[1];
        QJsonObject channel{{temp + "input", reading.kind == Cell::Kind::Number ? QJsonValue(reading.number)
                                                                                : QJsonValue::Null}};
        if (!reading.fault.isEmpty())
            channel.insert("fault", reading.fault);
        else if (reading.kind == Cell::Kind::Missing)
            channel.insert("note", reading.text);
        if (row[2].kind == Cell::Kind::Number) {
            channel.insert(temp + "max", row[2].number);
            channel.insert(temp + "min", row[3].number);
            channel.insert(temp + "crit", row[4].number);
            channel.insert(temp + "max_alarm", reading.alarms.contains("high") ? 1 : 0);
            channel.insert(temp + "min_alarm", reading.alarms.contains("low") ? 1 : 0);
            channel.insert(temp + "crit_alarm", reading.alarms.contains("THERM") ? 1 : 0);
        }
        if (i > 0)
            channel.insert(temp + "fault", reading.fault.isEmpty() ? 0 : 1);
        chip.insert(row[0].text, channel);
    }
    return QJsonDocument(QJsonObject{{chipName, chip}}).toJson(QJsonDocument::Indented);
}
