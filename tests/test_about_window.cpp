// The about box: its version, its position over the main window and its links.
#include "app/AboutLayout.h"
#include "app/frmAbout.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace {
TEST(AboutBoxPosition, CentresAndLifts1500Twips) {
    const struct {
        QSizeF main;
        QSizeF about;
        QPointF position;
    } rows[] = {
        {{12000, 9000}, {7065, 4050}, {2467.5, 975}},
        {{7065, 4050}, {7065, 4050}, {0, -1500}}, // a main window no larger: above the client area
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.main.width());
        EXPECT_EQ(AboutBoxPosition(row.main, row.about), row.position);
    }
}

class AboutWindow : public ::testing::Test {
protected:
    void SetUp() override {
        frmAbout::SetUrlOpener([this](const QUrl& url) { opened.push_back(url); });
        main.setCentralWidget(area);
        main.resize(Px(12000), Px(9000));
        main.show();
        about = new frmAbout;
        sub = area->addSubWindow(about);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        about->Form_Load();
        sub->show();
    }
    void TearDown() override { frmAbout::SetUrlOpener({}); }

    QLabel* label(const char* name) { return about->findChild<QLabel*>(name); }

    std::vector<QUrl> opened;
    QMainWindow main;
    QMdiArea* area = new QMdiArea;
    frmAbout* about = nullptr;
    QMdiSubWindow* sub = nullptr;
};

TEST_F(AboutWindow, ShowsVersionAndKeepsItsClientSize) {
    EXPECT_EQ(label("lblVersion")->text(), "1.0.2");
    EXPECT_EQ(about->size(), QSize(Px(6975), Px(3615)));
    EXPECT_EQ(about->windowTitle(), "About the  OTK5530 Software");
}

TEST_F(AboutWindow, OpensCentredOverTheMainWindow) {
    const QPointF expected =
        AboutBoxPosition(QSizeF(Twips(main.frameGeometry().width()), Twips(main.frameGeometry().height())),
                         QSizeF(Twips(sub->width()), Twips(sub->height())));
    EXPECT_EQ(sub->pos(), QPoint(Px(expected.x()), Px(expected.y())));
}

TEST_F(AboutWindow, EachClickOpensTheLinkOnceAndTurnsItPurple) {
    const struct {
        const char* name;
        const char* address;
    } rows[] = {
        {"lblDeviceInfo", "https://www.korvane.example/products/otk5530"},
        {"lblSensorInfo", "https://www.korvane.example/products/temperature-sensors"},
        {"Label6", "https://www.korvane.example/"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        opened.clear();
        QLabel* link = label(row.name);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        EXPECT_TRUE(link->font().bold() && link->font().underline());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::LeftButton);
        EXPECT_EQ(opened, (std::vector<QUrl>{QUrl(row.address), QUrl(row.address)}));
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(128, 0, 128));
    }
}

TEST_F(AboutWindow, OkClosesTheBox) {
    QPointer<QMdiSubWindow> outer = sub;
    QTest::mouseClick(about->findChild<QWidget*>("cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(outer.isNull());
}
} // namespace
