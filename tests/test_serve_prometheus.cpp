// The exporter scraped by a real Prometheus on loopback every second: two simulated boards
// at two addresses, one whose Remote 1 diode opens and mends mid-run, one whose link fails.
// What Prometheus stored is read back through its HTTP API.
#include "support/ServeProcess.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>
#include <map>

namespace {

constexpr int kRunBoundMs = 35000;
const QString kFaultyBoard = "sim:address=0x4C,local=20,remote1=41.25,remote2=30,open1_at=3,open1_until=7";
// About thirty requests a scrape: the link fails after some eight scrapes.
const QString kFailingBoard = "sim:address=0x4D,local=22,remote1=50.75,remote2=60.5,fail_after=250";

struct Series {
    QJsonObject labels;
    std::vector<std::pair<double, double>> samples; // time, value
};

class Prometheus {
public:
    Prometheus(const QTemporaryDir& folder, int target) : port(FreeLoopbackPort()) {
        QFile config(folder.filePath("prometheus.yml"));
        config.open(QIODevice::WriteOnly);
        config.write(QString("global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
                             "scrape_configs:\n  - job_name: otk5530\n    static_configs:\n"
                             "      - targets: ['127.0.0.1:%1']\n")
                         .arg(target)
                         .toUtf8());
        config.close();
        process.start(QStandardPaths::findExecutable("prometheus"),
                      {"--config.file=" + config.fileName(), "--storage.tsdb.path=" + folder.filePath("data"),
                       "--web.listen-address=127.0.0.1:" + QString::number(port)});
    }
    ~Prometheus() {
        process.terminate();
        if (!process.waitForFinished(15000))
            process.kill();
        process.waitForFinished();
    }
    // Every series the PromQL query gives: an instant vector's one sample, a range's all.
    std::vector<Series> query(const QString& promql) {
        const HttpReply reply =
            HttpGet(port, "/api/v1/query?query=" + QUrl::toPercentEncoding(promql).toStdString());
        std::vector<Series> result;
        const QJsonArray found =
            QJsonDocument::fromJson(QByteArray::fromStdString(reply.body))["data"]["result"].toArray();
        for (const QJsonValue& each : found) {
            Series series{each["metric"].toObject(), {}};
            const QJsonArray values =
                each["values"].isArray() ? each["values"].toArray() : QJsonArray{each["value"]};
            for (const QJsonValue& sample : values)
                series.samples.emplace_back(sample[0].toDouble(), sample[1].toString().toDouble());
            result.push_back(series);
        }
        return result;
    }
    std::vector<double> values(const QString& promql) {
        const std::vector<Series> found = query(promql);
        std::vector<double> values;
        for (const auto& sample : found.empty() ? std::vector<std::pair<double, double>>{} : found[0].samples)
            values.push_back(sample.second);
        return values;
    }

    int port;
    QProcess process;
};

bool contains(const std::vector<double>& values, double value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

TEST(ServeUnderPrometheus, BoardsFaultAndLinkLossAsStored) {
    if (QStandardPaths::findExecutable("prometheus").isEmpty())
        GTEST_SKIP() << "prometheus is installed by scripts/install-deps";
    QTemporaryDir folder;
    ServeProcess exporter({kFaultyBoard, kFailingBoard});
    ASSERT_NE(exporter.port, 0) << exporter.errors.toStdString();
    Prometheus prometheus(folder, exporter.port);

    // Until the diode has opened and mended and the failing board has gone down.
    const QString fault = "otk5530_temp_fault{chip=\"sim-0x4c\",sensor=\"remote1\"}[1m]";
    const QString failingUp = "otk5530_up{chip=\"sim-0x4d\"}[1m]";
    QDeadlineTimer bound(kRunBoundMs);
    bool seen = false;
    while (!seen && !bound.hasExpired()) {
        QThread::msleep(500);
        const std::vector<double> faults = prometheus.values(fault);
        const auto firstFault = std::find(faults.begin(), faults.end(), 1.0);
        const bool mended =
            firstFault != faults.end() && std::find(firstFault, faults.end(), 0.0) != faults.end();
        seen = mended && !prometheus.values(failingUp).empty() && prometheus.values(failingUp).back() == 0;
    }
    ASSERT_TRUE(seen) << "prometheus: " << prometheus.process.readAllStandardError().right(2000).toStdString()
                      << "\nexporter: " << exporter.errors.toStdString();

    // Both boards' temperatures and limits, under their labels.
    const std::map<std::string, double> celsius{{"sim-0x4c/local", 20},      {"sim-0x4c/remote1", 41.25},
                                                {"sim-0x4c/remote2", 30},    {"sim-0x4d/local", 22},
                                                {"sim-0x4d/remote1", 50.75}, {"sim-0x4d/remote2", 60.5}};
    const std::map<QString, double> limits{{"otk5530_temp_celsius", 0},
                                           {"otk5530_temp_max_celsius", 85},
                                           {"otk5530_temp_min_celsius", 0},
                                           {"otk5530_temp_crit_celsius", 85},
                                           {"otk5530_temp_crit_hyst_celsius", 75}};
    for (const auto& [name, limit] : limits) {
        const std::vector<Series> series = prometheus.query(name + "[1m]");
        EXPECT_EQ(series.size(), celsius.size()) << name.toStdString();
        for (const Series& each : series) {
            const std::string key =
                (each.labels["chip"].toString() + "/" + each.labels["sensor"].toString()).toStdString();
            ASSERT_TRUE(celsius.count(key)) << key;
            for (const auto& sample : each.samples)
                EXPECT_EQ(sample.second, name == "otk5530_temp_celsius" ? celsius.at(key) : limit)
                    << name.toStdString() << " " << key;
        }
    }

    // While the diode is open its scrapes hold the fault and no temperature; before and after, a temperature.
    const auto faultSamples = prometheus.query(fault).at(0).samples;
    const auto temperatures =
        prometheus.query("otk5530_temp_celsius{chip=\"sim-0x4c\",sensor=\"remote1\"}[1m]");
    ASSERT_EQ(temperatures.size(), 1u);
    std::vector<double> temperatureTimes;
    for (const auto& sample : temperatures[0].samples)
        temperatureTimes.push_back(sample.first);
    double firstOpen = 0, lastOpen = 0;
    for (const auto& [time, value] : faultSamples) {
        EXPECT_EQ(contains(temperatureTimes, time), value == 0) << "scrape at " << time;
        if (value == 1) {
            firstOpen = firstOpen == 0 ? time : firstOpen;
            lastOpen = time;
        }
    }
    EXPECT_LT(temperatureTimes.front(), firstOpen);
    EXPECT_GT(temperatureTimes.back(), lastOpen);

    // The failing board goes down and stays known; the other board and the target stay up.
    const std::vector<double> failing = prometheus.values(failingUp);
    EXPECT_EQ(failing.front(), 1);
    EXPECT_FALSE(contains(prometheus.values("otk5530_up{chip=\"sim-0x4c\"}[1m]"), 0));
    EXPECT_FALSE(contains(prometheus.values("up{job=\"otk5530\"}[1m]"), 0));
    const std::vector<Series> info = prometheus.query("otk5530_chip_info{chip=\"sim-0x4d\"}");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].labels["address"].toString(), "0x4d");
    EXPECT_EQ(info[0].labels["manufacturer_id"].toString(), "0x41");
    EXPECT_GT(prometheus.values("otk5530_bus_errors_total{chip=\"sim-0x4d\"}").at(0), 0);

    // promtool's parser and linter on the exposition as served.
    const HttpReply metrics = HttpGet(exporter.port, "/metrics");
    QProcess promtool;
    promtool.start(QStandardPaths::findExecutable("promtool"), {"check", "metrics"});
    promtool.write(QByteArray::fromStdString(metrics.body));
    promtool.closeWriteChannel();
    ASSERT_TRUE(promtool.waitForFinished(30000));
    EXPECT_EQ(promtool.exitCode(), 0)
        << promtool.readAllStandardOutput().toStdString() << promtool.readAllStandardError().toStdString();

    EXPECT_EQ(exporter.stop(), 0) << exporter.errors.toStdString();
}
