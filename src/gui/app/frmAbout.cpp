#include "app/frmAbout.h"

#include "app/AboutLayout.h"
#include "app/LinkLabel.h"
#include "app/Version.h"
#include "device/WindowClasses.h"
#include "ui/Twips.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QPushButton>

namespace {
frmAbout::UrlOpener& urlOpener() {
    static frmAbout::UrlOpener opener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return opener;
}

QLabel* plainLabel(const QString& text, QWidget* parent, QRect geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}
} // namespace

frmAbout::frmAbout(QWidget* parent) : QWidget(parent) {
    setObjectName(WindowClass::kAbout);
    setWindowTitle("About the  OTK5530 Software");

    auto* frame = new QGroupBox(this);
    frame->setObjectName("Frame1");
    frame->setGeometry(PxRect(120, 60, 6735, 3435));

    QFont titleFont = font();
    titleFont.setPointSizeF(9.75);
    titleFont.setBold(true);
    QLabel* title = plainLabel("OTK5530 Evaluation Software Version", frame, PxRect(360, 360, 3735, 300));
    title->setFont(titleFont);
    title->adjustSize();
    lblVersion_ = plainLabel("VER", frame, PxRect(360, 360, 1095, 300));
    lblVersion_->setObjectName("lblVersion");
    lblVersion_->setFont(titleFont);
    lblVersion_->move(title->geometry().right() + Px(90), title->y());

    struct LinkLine {
        const char* lead;
        const char* linkText;
        const char* name;
        LinkLabel** label;
        void (frmAbout::*handler)();
        int top;
    };
    const LinkLine lines[3] = {
        {"For more information on the OTK5530 click", "here", "lblDeviceInfo", &lblDeviceInfo_,
         &frmAbout::lblDeviceInfo_Click, 1080},
        {"For Korvane's other temperature sensors click", "here", "lblSensorInfo", &lblSensorInfo_,
         &frmAbout::lblSensorInfo_Click, 1560},
        {"Visit the Korvane website at", kMakerAddressText, "Label6", &Label6_, &frmAbout::Label6_Click,
         2040},
    };
    for (const LinkLine& line : lines) {
        QLabel* lead = plainLabel(line.lead, frame, PxRect(360, line.top, 4095, 255));
        lead->adjustSize();
        auto* link = new LinkLabel(line.linkText, frame);
        link->setObjectName(line.name);
        link->adjustSize();
        link->move(lead->geometry().right() + Px(60), lead->y() + (lead->height() - link->height()) / 2);
        link->onClick = [this, handler = line.handler] { (this->*handler)(); };
        *line.label = link;
    }

    auto* cmdOK = new QPushButton("OK", frame);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setGeometry(PxRect(5280, 2760, 1215, 435));
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

void frmAbout::SetUrlOpener(UrlOpener opener) {
    urlOpener() = opener ? std::move(opener) : [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

void frmAbout::Form_Load() {
    lblVersion_->setText(VersionText());
    lblVersion_->adjustSize();

    // The designed client size stays; the frame around it follows.
    setFixedSize(Px(6975), Px(3615));
    auto* outer = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!outer)
        return;
    outer->adjustSize();
    QWidget* main = window();
    const QPointF position =
        AboutBoxPosition(QSizeF(Twips(main->frameGeometry().width()), Twips(main->frameGeometry().height())),
                         QSizeF(Twips(outer->width()), Twips(outer->height())));
    // Kept inside the main window's client area, so a small main window still shows the title bar.
    outer->move(std::max(0, Px(position.x())), std::max(0, Px(position.y())));
}

void frmAbout::lblDeviceInfo_Click() {
    openLink(lblDeviceInfo_, kProductPage);
}
void frmAbout::lblSensorInfo_Click() {
    openLink(lblSensorInfo_, kSensorProductPage);
}
void frmAbout::Label6_Click() {
    openLink(Label6_, kMakerHomePage);
}

void frmAbout::cmdOK_Click() {
    OuterWindow(this)->close();
}

// Whether a browser opened is not reported; the link turns purple as visited.
void frmAbout::openLink(LinkLabel* label, const char* address) {
    urlOpener()(QUrl(address));
    label->setTextColor(QColor(128, 0, 128));
}
