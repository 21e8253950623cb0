#pragma once
// The about box: the software's name and version and three web links.
#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;
class LinkLabel;

class frmAbout : public QWidget {
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void Form_Load();
    void lblDeviceInfo_Click();
    void lblSensorInfo_Click();
    void Label6_Click();
    void cmdOK_Click();

    // How a link is opened; the desktop's browser by default. Tests install a recorder.
    using UrlOpener = std::function<void(const QUrl&)>;
    static void SetUrlOpener(UrlOpener opener);

private:
    void openLink(LinkLabel* label, const char* address);

    QLabel* lblVersion_ = nullptr;
    LinkLabel* lblDeviceInfo_ = nullptr;
    LinkLabel* lblSensorInfo_ = nullptr;
    LinkLabel* Label6_ = nullptr;
};
