#pragma once
// A loaded register map window against the scripted adapter, with the helpers a
// test needs to use it as a user would.
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "support/RecordedMessages.h"
#include "support/ScriptedAdapter.h"
#include "views/frmRegMap.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <utility>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class RegMapWindowTest : public ::testing::Test {
protected:
    static constexpr int32_t kChip = 0x4C;

    void SetUp() override {
        GeneralStuff::ResetSharedState();
        RegMapStuff::BuildRegisterTable();
        ThrowOnLinkError();
        adapter = InstallScriptedAdapter();
        GeneralStuff::DeviceAddress = kChip;
        // Writes land where the chip shows them: Configuration Reg 1 and the limits
        // are written 6 above their read addresses.
        adapter->readAddressOf = TableReadAddressOf;
        openWindow();
    }

    void TearDown() override {
        takeWarnings();
        window.reset();
    }

    void openWindow() {
        window = std::make_unique<frmRegMap>();
        window->Form_Load();
        window->show();
    }

    template <typename T = QWidget> T* control(const QString& name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QString text(const QString& name) const {
        if (auto* box = window->findChild<QLineEdit*>(name))
            return box->text();
        return control<QLabel>(name)->text();
    }
    QTreeWidget* tree() const { return control<QTreeWidget>("TreeView1"); }

    // Replaces a box's content the way a user does: select all, then type.
    void typeInto(const QString& name, const QString& typed) {
        auto* box = control<QLineEdit>(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, typed);
    }
    void click(const QString& name) { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton); }
    void readAddress(const QString& typed) {
        typeInto("txtReadAddr", typed);
        click("cmdRead");
    }

    // The warnings shown since the last call.
    QStringList takeWarnings() {
        EXPECT_TRUE(messages.critical.isEmpty());
        return std::exchange(messages.warnings, {});
    }

    // Every label the window shows a register with.
    QStringList shownLabels() const {
        QStringList shown;
        for (const char* name :
             {"lblRegDescription", "lblCurrentAddr", "lblHexVal", "lblDecVal", "lblHex", "lblDec"})
            shown << text(name);
        for (int n = 0; n < 8; ++n)
            shown << text(QString("lblBit_%1").arg(n)) << text(QString("lblInfo_%1").arg(n));
        return shown;
    }
    QStringList bitNames() const {
        QStringList names;
        for (int n = 0; n < 8; ++n)
            names << text(QString("lblInfo_%1").arg(n));
        return names;
    }
    QString bits() const {
        QString shown;
        for (int bit = 7; bit >= 0; --bit)
            shown += text(QString("lblBit_%1").arg(bit));
        return shown;
    }

    ScriptedAdapter* adapter = nullptr;
    RecordedMessages messages;
    std::unique_ptr<frmRegMap> window;
};
