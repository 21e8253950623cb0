#pragma once
// Helpers for driving the file, options and about windows as a user does: the
// modal dialogs they open are found when they show and answered.
#include "app/Announcements.h"
#include "support/RecordedMessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

// The answers still waiting for their dialog to show.
inline std::vector<QPointer<QTimer>>& PendingAnswers() {
    static std::vector<QPointer<QTimer>> pending;
    return pending;
}

// Ends every poll still waiting, so an answer meant for one test never reaches the next.
inline void StopAnswering() {
    for (const QPointer<QTimer>& timer : PendingAnswers())
        if (timer) {
            timer->stop();
            timer->deleteLater();
        }
    PendingAnswers().clear();
}

// Runs `act` on the first visible widget that `find` returns, polling while
// modal dialogs run. Only when it has not shown after kAnswerWaitMs is any open modal
// dialog rejected, so a test fails instead of hanging: a bound for a hung test, never
// a deadline a loaded machine could miss.
inline constexpr int kAnswerWaitMs = 30000;
inline void WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    PendingAnswers().push_back(timer);
    const QDeadlineTimer giveUp(kAnswerWaitMs);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (QWidget* found = find(); found && found->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(found);
        } else if (giveUp.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                modal->reject();
        }
    });
    timer->start(10);
}

inline QFileDialog* FindFileDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "CommonDialog1" && widget->isVisible())
            return qobject_cast<QFileDialog*>(widget);
    return nullptr;
}

struct FileDialogSeen {
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QStringList nameFilters;
    QString directory;
    bool seen = false;
    // Runs when the dialog shows, before it is answered.
    std::function<void()> onShown;
};

// Goes to `path`'s folder, types its name into the file dialog's name box and accepts; an empty path
// cancels the dialog instead. What the dialog offered is recorded in `seen`.
inline void AnswerFileDialog(const QString& path, FileDialogSeen* seen = nullptr) {
    WhenShown([] { return FindFileDialog(); },
              [=](QWidget* widget) {
                  auto* dialog = qobject_cast<QFileDialog*>(widget);
                  if (seen) {
                      seen->acceptMode = dialog->acceptMode();
                      seen->fileMode = dialog->fileMode();
                      seen->nameFilters = dialog->nameFilters();
                      seen->directory = dialog->directory().absolutePath();
                      seen->seen = true;
                      if (seen->onShown)
                          seen->onShown();
                  }
                  if (path.isEmpty()) {
                      dialog->reject();
                      return;
                  }
                  // Like a user: go to the file's folder when it exists, then type the name.
                  const QFileInfo target(path);
                  if (target.absoluteDir().exists())
                      dialog->setDirectory(target.absolutePath());
                  const QString typed = target.absoluteDir().exists()
                                            ? target.fileName()
                                            : dialog->directory().relativeFilePath(path);
                  auto* nameBox = dialog->findChild<QLineEdit*>("fileNameEdit");
                  nameBox->clear();
                  QTest::keyClicks(nameBox, typed);
                  static_cast<QDialog*>(dialog)->accept();
                  // A dialog that refused the name would otherwise wait for ever.
                  QTimer::singleShot(3000, dialog, [dialog] {
                      if (dialog->isVisible())
                          dialog->reject();
                  });
              });
}

struct MessageSeen {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int count = 0;
};

// Answers the next message box with its default button (Yes/OK) and records it:
// the file dialog's own questions, which are no messages of the program.
inline void AnswerMessageBox(MessageSeen* seen) {
    WhenShown([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
              [=](QWidget* widget) {
                  auto* box = qobject_cast<QMessageBox*>(widget);
                  seen->text = box->text();
                  seen->icon = box->icon();
                  ++seen->count;
                  QAbstractButton* button = box->button(QMessageBox::Yes);
                  if (!button)
                      button = box->button(QMessageBox::Ok);
                  QTest::mouseClick(button, Qt::LeftButton);
              });
}

// A main window that records its status texts and master timer switches, each
// with the number of adapter requests made before it; it pauses as the real one does.
class FakeMainWindow {
public:
    struct TimerSwitch {
        bool enabled;
        size_t requestsBefore;
    };
    explicit FakeMainWindow(std::function<size_t()> requestCount = [] { return size_t(0); })
        : requestCount_(std::move(requestCount)) {
        Announcements& announcements = Announcements::program();
        QObject::connect(&announcements, &Announcements::statusText, &receiver_,
                         [this](const QString& text) { statusTexts.push_back(text); });
        QObject::connect(&announcements, &Announcements::masterTimerPaused, &receiver_, [this] {
            if (pauses_++ == 0) {
                enabledBeforePause_ = timer;
                setTimer(false);
            }
        });
        QObject::connect(&announcements, &Announcements::masterTimerResumed, &receiver_, [this] {
            if (pauses_ > 0 && --pauses_ == 0)
                setTimer(enabledBeforePause_);
        });
    }

    std::vector<QString> statusTexts;
    std::vector<TimerSwitch> switches;
    bool timer = true;

private:
    void setTimer(bool enabled) {
        timer = enabled;
        switches.push_back({enabled, requestCount_()});
    }
    std::function<size_t()> requestCount_;
    int pauses_ = 0;
    bool enabledBeforePause_ = false;
    QObject receiver_; // ends the connections with the fake
};
