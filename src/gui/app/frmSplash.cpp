#include "app/frmSplash.h"

#include "app/Version.h"
#include "device/WindowClasses.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <cmath>

namespace {
constexpr int kWidth = 480;
constexpr int kHeight = 300;
constexpr int kBarLeft = 40;
constexpr int kBarTop = 262;
constexpr int kBarHeight = 14;
// A multiple of 100 so every progress step is whole pixels.
constexpr int kBarFullWidth = 400;

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& where, int pointSize, bool bold) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(where);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet("color: white; background: transparent;");
    return label;
}

void drawChip(QPainter& p, const QRectF& body) {
    p.setPen(QPen(QColor(190, 200, 215), 2));
    const int pins = 4;
    for (int i = 0; i < pins; ++i) {
        const double y = body.top() + body.height() * (i + 0.5) / pins;
        p.drawLine(QPointF(body.left() - 10, y), QPointF(body.left(), y));
        p.drawLine(QPointF(body.right(), y), QPointF(body.right() + 10, y));
    }
    p.setPen(QPen(QColor(70, 80, 95), 1));
    p.setBrush(QColor(35, 38, 45));
    p.drawRoundedRect(body, 4, 4);
    p.setBrush(QColor(90, 95, 105));
    p.drawEllipse(QRectF(body.left() + 6, body.top() + 6, 7, 7));
    p.setPen(QColor(200, 205, 215));
    QFont font = p.font();
    font.setPointSize(9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(body, Qt::AlignCenter, "OTK\n5530");
}

void drawThermometer(QPainter& p, const QPointF& top, double height) {
    const double tubeWidth = 12;
    const double bulb = 26;
    p.setPen(QPen(QColor(230, 235, 245), 2));
    p.setBrush(QColor(245, 248, 252, 200));
    p.drawRoundedRect(QRectF(top.x() - tubeWidth / 2, top.y(), tubeWidth, height), 6, 6);
    p.drawEllipse(QPointF(top.x(), top.y() + height + bulb / 2 - 4), bulb / 2, bulb / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 40, 40));
    p.drawRect(QRectF(top.x() - 3, top.y() + height * 0.35, 6, height * 0.65 + 4));
    p.drawEllipse(QPointF(top.x(), top.y() + height + bulb / 2 - 4), bulb / 2 - 4, bulb / 2 - 4);
    p.setPen(QPen(QColor(230, 235, 245), 1));
    for (int i = 1; i < 6; ++i) {
        const double y = top.y() + height * i / 6.0;
        p.drawLine(QPointF(top.x() + tubeWidth / 2 + 2, y), QPointF(top.x() + tubeWidth / 2 + 8, y));
    }
}
} // namespace

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(WindowClass::kSplash);
    setFixedSize(kWidth, kHeight);
    lblProductName = makeLabel(this, "lblProductName", QRect(30, 28, 430, 36), 17, true);
    lblVersion = makeLabel(this, "lblVersion", QRect(32, 74, 250, 22), 11, false);
    lblPlatform = makeLabel(this, "lblPlatform", QRect(32, 98, 250, 22), 10, false);
    lblPlatform->setText("Windows XP/2000/ME");
    lblProgInfo = makeLabel(this, "lblProgInfo", QRect(kBarLeft, 232, kBarFullWidth, 22), 10, true);
    lblProgress = new QLabel(this);
    lblProgress->setObjectName("lblProgress");
    lblProgress->setGeometry(kBarLeft, kBarTop, kBarFullWidth, kBarHeight);
    lblProgress->setStyleSheet("background-color: rgb(0, 0, 255);");
    lblProgInfo->hide();
    lblProgress->hide();
    centreOnScreen();
}

void frmSplash::Form_Load() {
    lblVersion->setText("Version " + VersionText());
    lblProductName->setText(kApplicationTitle);
}

double frmSplash::progressFullWidth() const {
    return kBarFullWidth;
}

void frmSplash::showProgress() {
    lblProgInfo->show();
    lblProgress->show();
    // The bar's frame is part of the background; no event runs before the first pause.
    repaint();
}

void frmSplash::setProgressText(const QString& text) {
    lblProgInfo->setText(text);
    lblProgInfo->repaint();
}

void frmSplash::setProgressWidth(double width) {
    lblProgress->resize(static_cast<int>(std::lround(width)), kBarHeight);
    lblProgress->repaint();
}

void frmSplash::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, width(), height());
    sky.setColorAt(0, QColor(18, 42, 96));
    sky.setColorAt(0.6, QColor(40, 92, 160));
    sky.setColorAt(1, QColor(160, 60, 40));
    p.fillRect(rect(), sky);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    for (int x = 0; x < width(); x += 24)
        p.drawLine(x, 140, x + 60, height());
    drawChip(p, QRectF(382, 112, 64, 72));
    drawThermometer(p, QPointF(326, 84), 104);
    if (lblProgress->isVisible()) {
        p.setPen(QPen(QColor(255, 255, 255, 120), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(kBarLeft - 2.5, kBarTop - 2.5, kBarFullWidth + 5, kBarHeight + 5));
    }
}
