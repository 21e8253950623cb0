#include "app/frmSplash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <gtest/gtest.h>

TEST(Splash, ShowsTitleVersionAndPlatformWithProgressHidden) {
    frmSplash splash;
    splash.Form_Load();
    const struct {
        const char* name;
        const char* text;
    } labels[] = {{"lblProductName", "OTK5530 Evaluation Software"},
                  {"lblVersion", "Version 1.0.2"},
                  {"lblPlatform", "Windows XP/2000/ME"}};
    for (const auto& l : labels) {
        SCOPED_TRACE(l.name);
        auto* label = splash.findChild<QLabel*>(l.name);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), l.text);
    }
    EXPECT_TRUE(splash.findChild<QLabel*>("lblProgInfo")->isHidden());
    EXPECT_TRUE(splash.findChild<QLabel*>("lblProgress")->isHidden());
    EXPECT_TRUE(splash.findChild<QLabel*>("lblProgInfo")->font().bold());
}

TEST(Splash, IsAFixedFramelessWindowCentredOnTheScreen) {
    frmSplash splash;
    EXPECT_EQ(splash.objectName(), "frmSplash");
    EXPECT_TRUE(splash.isWindow());
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.windowType(), Qt::SplashScreen);
    EXPECT_EQ(splash.minimumSize(), splash.maximumSize());
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((splash.geometry().center() - screenCentre).manhattanLength(), 1);
}

TEST(Splash, ProgressShowsTextAndBarWidth) {
    frmSplash splash;
    splash.showProgress();
    splash.setProgressText("Enumerating...");
    splash.setProgressWidth(133.6);
    EXPECT_FALSE(splash.findChild<QLabel*>("lblProgInfo")->isHidden());
    EXPECT_EQ(splash.findChild<QLabel*>("lblProgInfo")->text(), "Enumerating...");
    EXPECT_EQ(splash.findChild<QLabel*>("lblProgress")->width(), 134);
    // The bar is not capped: the address search may run it past its full width.
    splash.setProgressWidth(2000);
    EXPECT_EQ(splash.findChild<QLabel*>("lblProgress")->width(), 2000);
}
