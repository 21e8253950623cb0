#pragma once
// The register map window: pick a register from the tree or by address, see its
// value and bits, write a value or flip single bits.
#include "device/ChipChanges.h"
#include "views/OpenWindows.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>

class ClickableLabel;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
struct CheckedNumber;

class frmRegMap : public QWidget {
    Q_OBJECT
public:
    explicit frmRegMap(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Unload();

    bool continuousReadTicked() const;
    // Shows the register whose read address is in the read-address box.
    void ReadAction();
    // Shows register table record index (1..40) with its value read from the chip.
    void ShowRegister(int index);
    void ShowBits(int value);
    // Places the bits and their names across the bit frame's current width.
    void LayoutBitDisplay();

    void cmdRead_Click();
    void cmdWrite_Click();
    void lblBit_Click(int bit);
    void txtDec_Change();
    void txtHex_Change();
    void txtDec_ReturnPressed();
    void txtHex_ReturnPressed();
    void txtReadAddr_Change();
    void TreeView1_NodeClick(QTreeWidgetItem* node);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTreeFrame();
    void buildDetailsFrame();
    void buildBitsFrame();
    void buildReadWriteFrame();
    void connectHandlers();

    void WriteAction();
    void readAt(int32_t address);
    void followInTree(int index);
    void showValue(int value, const QString& hexValText);
    void showBitNames(const QStringList& names);
    void placeBitName(int n);
    // Shows the first problem among the checked entries; true when there was one.
    bool refused(std::initializer_list<const CheckedNumber*> entries);
    void refuseReadAddress(const QString& problem);

    QTreeWidget* TreeView1;
    QLabel* lblRegDescription;
    QLabel* lblCurrentAddr;
    QLabel* lblHexVal;
    QLabel* lblDecVal;
    QGroupBox* fraBits;
    std::array<ClickableLabel*, 8> lblBit{};
    std::array<QLabel*, 8> lblInfo{};
    QLineEdit* txtReadAddr;
    QLineEdit* txtWriteAddr;
    QLabel* lblHex;
    QLineEdit* txtHex;
    QLabel* lblDec;
    QLineEdit* txtDec;
    QPushButton* cmdRead;
    QPushButton* cmdWrite;
    QCheckBox* chkContRead;

    // True only while one value box is rewritten from the other, so the rewrite does not echo back.
    bool Updating = false;
    ViewRegistration<frmRegMap> registration{this};

    // The shown register is read again when another window writes it, after that
    // window's action; this window's own writes are followed by its own Read.
    void chipChanged(const ChipChanges::Writes& writes);
    std::optional<int32_t> shownAddress;
    ChipChanges::Subscription chipChanges;
};
