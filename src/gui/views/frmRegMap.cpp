#include "views/frmRegMap.h"

#include "app/Announcements.h"
#include "device/ChipAccess.h"
#include "device/NumberText.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "device/WindowClasses.h"
#include "ui/AppMessages.h"
#include "ui/Twips.h"
#include "views/ClickableLabel.h"
#include "views/RegMapRules.h"
#include "views/RegisterTree.h"
#include "views/RegisterTreeNodes.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

namespace {
constexpr double kWidthTwips = 8430;
constexpr double kHeightTwips = 6330;
const QColor kDarkGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);

QFont fontOf(double points, bool bold) {
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Every control states its own font, so the bold frame captions do not pass on to their contents.
template <typename W> W* place(W* widget, const QRect& rect, const QFont& font = fontOf(8.25, false)) {
    widget->setGeometry(rect);
    widget->setFont(font);
    return widget;
}

// The layout was drawn for a narrower font than most systems have: a fixed text
// that does not fit grows away from the side it is aligned to instead of being cut.
template <typename W> W* widenToText(W* widget, Qt::Alignment alignment) {
    const int needed = widget->sizeHint().width();
    QRect rect = widget->geometry();
    if (needed <= rect.width())
        return widget;
    const int extra = needed - rect.width();
    if (alignment & Qt::AlignRight)
        rect.setLeft(rect.left() - extra);
    else if (alignment & Qt::AlignHCenter)
        rect.adjust(-extra / 2, 0, extra - extra / 2, 0);
    else
        rect.setWidth(needed);
    // Never past the frame's left edge, where the frame would cut the text.
    const int margin = Px(60);
    if (rect.left() < margin)
        rect.moveLeft(margin);
    widget->setGeometry(rect);
    return widget;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& rect, Qt::Alignment alignment) {
    auto* label = place(new QLabel(text, parent), rect);
    label->setAlignment(alignment);
    return label;
}

QLabel* caption(QWidget* parent, const QString& text, const QRect& rect) {
    return widenToText(label(parent, text, rect, Qt::AlignRight | Qt::AlignTop), Qt::AlignRight);
}

QLabel* heading(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = place(new QLabel(text, parent), rect, fontOf(9.75, true));
    return widenToText(label, Qt::AlignLeft);
}

QLabel* valueLabel(QWidget* parent, const QString& name, const QString& text, const QRect& rect) {
    QLabel* value = label(parent, text, rect, Qt::AlignLeft | Qt::AlignTop);
    value->setObjectName(name);
    QPalette palette = value->palette();
    palette.setColor(QPalette::WindowText, kDarkGreen);
    value->setPalette(palette);
    return widenToText(value, Qt::AlignLeft);
}

QLabel* borderedLabel(QWidget* parent, const QString& name, const QRect& rect) {
    QLabel* value = label(parent, QString(), rect, Qt::AlignCenter);
    value->setObjectName(name);
    value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return value;
}

QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text, const QRect& rect) {
    auto* box = place(new QLineEdit(text, parent), rect);
    box->setObjectName(name);
    return box;
}

QGroupBox* frame(QWidget* parent, const QString& title, const QRect& rect) {
    return place(new QGroupBox(title, parent), rect, fontOf(8.25, true));
}
} // namespace

frmRegMap::frmRegMap(QWidget* parent) : QWidget(parent) {
    setObjectName(WindowClass::kRegMap);
    setWindowTitle("Register Map");
    setFont(fontOf(8.25, false));
    buildTreeFrame();
    buildDetailsFrame();
    buildBitsFrame();
    buildReadWriteFrame();
    connectHandlers();
    chipChanges =
        ChipChanges::Subscription([this](const ChipChanges::Writes& writes) { chipChanged(writes); });
}

void frmRegMap::buildTreeFrame() {
    QGroupBox* fraTree = frame(this, "Register Map", PxRect(120, 120, 3255, 5535));
    TreeView1 = place(new QTreeWidget(fraTree), PxRect(240, 360, 2775, 4695));
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
}

void frmRegMap::buildDetailsFrame() {
    QGroupBox* fraDetails = frame(this, "Register Details", PxRect(3600, 120, 4575, 1935));
    caption(fraDetails, "Register", PxRect(1080, 360, 585, 195));
    lblRegDescription =
        valueLabel(fraDetails, "lblRegDescription", "Description", PxRect(1920, 360, 2355, 435));
    lblRegDescription->setWordWrap(true);
    caption(fraDetails, "Address", PxRect(1080, 840, 570, 195));
    lblCurrentAddr = valueLabel(fraDetails, "lblCurrentAddr", "Address", PxRect(1920, 840, 570, 195));
    caption(fraDetails, "Current Value (Hex)", PxRect(240, 1200, 1380, 195));
    lblHexVal = valueLabel(fraDetails, "lblHexVal", "HexVal", PxRect(1920, 1200, 510, 195));
    caption(fraDetails, "Current Value (Dec)", PxRect(240, 1560, 1395, 195));
    lblDecVal = valueLabel(fraDetails, "lblDecVal", "DecVal", PxRect(1920, 1560, 525, 195));
}

void frmRegMap::buildBitsFrame() {
    fraBits = frame(this, "Bit Display", PxRect(3600, 2160, 4575, 975));
    fraBits->setObjectName("fraBits");
    for (int bit = 0; bit < 8; ++bit) {
        lblBit[bit] = place(new ClickableLabel("0", fraBits), QRect(), fontOf(24, false));
        lblBit[bit]->setObjectName(QString("lblBit_%1").arg(bit));
        lblBit[bit]->setAlignment(Qt::AlignCenter);
        lblBit[bit]->setCursor(Qt::PointingHandCursor);
        QPalette palette = lblBit[bit]->palette();
        palette.setColor(QPalette::WindowText, kBlue);
        lblBit[bit]->setPalette(palette);
        lblInfo[bit] = label(fraBits, "X", QRect(), Qt::AlignHCenter | Qt::AlignTop);
        lblInfo[bit]->setObjectName(QString("lblInfo_%1").arg(bit));
    }
}

void frmRegMap::buildReadWriteFrame() {
    QGroupBox* fraReadWrite = frame(this, QString(), PxRect(3480, 3240, 4575, 2415));
    heading(fraReadWrite, "Read", PxRect(600, 240, 585, 240));
    heading(fraReadWrite, "Write", PxRect(3240, 240, 555, 240));
    txtReadAddr = textBox(fraReadWrite, "txtReadAddr", QString(), PxRect(600, 480, 615, 285));
    caption(fraReadWrite, "Address", PxRect(1800, 480, 570, 195));
    txtWriteAddr = textBox(fraReadWrite, "txtWriteAddr", QString(), PxRect(3240, 480, 615, 285));
    lblHex = borderedLabel(fraReadWrite, "lblHex", PxRect(600, 840, 615, 255));
    caption(fraReadWrite, "Value(Hex)", PxRect(1800, 840, 780, 195));
    txtHex = textBox(fraReadWrite, "txtHex", "0H", PxRect(3240, 840, 615, 285));
    lblDec = borderedLabel(fraReadWrite, "lblDec", PxRect(600, 1200, 615, 255));
    caption(fraReadWrite, "Value(Dec)", PxRect(1800, 1200, 795, 195));
    txtDec = textBox(fraReadWrite, "txtDec", "0", PxRect(3240, 1200, 615, 285));
    cmdRead = place(new QPushButton("Read", fraReadWrite), PxRect(360, 1560, 1215, 255));
    cmdRead->setObjectName("cmdRead");
    cmdWrite = place(new QPushButton("Write", fraReadWrite), PxRect(3000, 1560, 1215, 255));
    cmdWrite->setObjectName("cmdWrite");
    chkContRead = place(new QCheckBox("Continuous Read", fraReadWrite), PxRect(1560, 1920, 1575, 375));
    widenToText(chkContRead, Qt::AlignHCenter);
    chkContRead->setObjectName("chkContRead");
}

void frmRegMap::connectHandlers() {
    connect(cmdRead, &QPushButton::clicked, this, &frmRegMap::cmdRead_Click);
    connect(cmdWrite, &QPushButton::clicked, this, &frmRegMap::cmdWrite_Click);
    connect(txtDec, &QLineEdit::textChanged, this, &frmRegMap::txtDec_Change);
    connect(txtHex, &QLineEdit::textChanged, this, &frmRegMap::txtHex_Change);
    connect(txtDec, &QLineEdit::returnPressed, this, &frmRegMap::txtDec_ReturnPressed);
    connect(txtHex, &QLineEdit::returnPressed, this, &frmRegMap::txtHex_ReturnPressed);
    connect(txtReadAddr, &QLineEdit::textChanged, this, &frmRegMap::txtReadAddr_Change);
    connect(TreeView1, &QTreeWidget::itemClicked, this, &frmRegMap::TreeView1_NodeClick);
    for (int bit = 0; bit < 8; ++bit)
        connect(lblBit[bit], &ClickableLabel::clicked, this, [this, bit] { lblBit_Click(bit); });
    connect(chkContRead, &QCheckBox::toggled, this,
            [] { emit Announcements::program().cycleSettingsChanged(); });
}

void frmRegMap::Form_Load() {
    SetOuterSize(this, kWidthTwips, kHeightTwips);
    BuildRegisterTree(TreeView1);
    LayoutBitDisplay();
    TreeView1->topLevelItem(0)->setExpanded(true);
    registration.attach();
}

void frmRegMap::Form_Unload() {
    registration.detach();
}

void frmRegMap::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QWidget::closeEvent(event);
}

bool frmRegMap::continuousReadTicked() const {
    return chkContRead->isChecked();
}

void frmRegMap::cmdRead_Click() {
    ReadAction();
}
void frmRegMap::cmdWrite_Click() {
    WriteAction();
}
void frmRegMap::txtDec_ReturnPressed() {
    WriteAction();
}
void frmRegMap::txtHex_ReturnPressed() {
    WriteAction();
}

void frmRegMap::ReadAction() {
    const CheckedNumber address = RegisterAddressOfText(txtReadAddr->text(), "read");
    if (!address.ok()) {
        refuseReadAddress(address.problem);
        return;
    }
    readAt(address.value);
}

void frmRegMap::readAt(int32_t address) {
    shownAddress = address;
    const int index = RegMapStuff::FindRegisterByReadAddr(address);
    followInTree(index);
    if (index != RegMapStuff::kNotFound) {
        ShowRegister(index);
        return;
    }
    lblRegDescription->setText("Unknown");
    lblCurrentAddr->setText(AddressCaption(address));
    txtReadAddr->setText(lblCurrentAddr->text());
    showBitNames(NumberedBitNames());
    const int value = ReadChip(address);
    showValue(value, HexText(value));
}

// The tree marks the register the details show; an address in no record marks none.
// Left alone when it already marks it, so a branch the user folded stays folded.
void frmRegMap::followInTree(int index) {
    QTreeWidgetItem* node = index == RegMapStuff::kNotFound
                                ? nullptr
                                : RegisterTreeLeaf(TreeView1, RegMapStuff::RegisterTable[index].Key);
    if (node == TreeView1->currentItem())
        return;
    if (!node) {
        TreeView1->clearSelection();
        TreeView1->setCurrentItem(nullptr);
        return;
    }
    // Making an item current scrolls to it, and scrolling to an item expands its folded parents: only the
    // user unfolds the tree, so the scroll follows only a node already in view.
    const bool autoScroll = TreeView1->hasAutoScroll();
    TreeView1->setAutoScroll(false);
    TreeView1->setCurrentItem(node);
    TreeView1->setAutoScroll(autoScroll);
    if (RegisterTreeNodeUnfolded(node))
        TreeView1->scrollToItem(node);
}

void frmRegMap::ShowRegister(int index) {
    // The placeholder record has no register behind it.
    if (index <= 0 || index >= RegMapStuff::kRegisterCount)
        return;
    const RegisterRecord& record = RegMapStuff::RegisterTable[index];
    lblRegDescription->setText(record.Description);
    lblCurrentAddr->setText(AddressCaption(record.ReadAddr));
    txtReadAddr->setText(lblCurrentAddr->text());
    showBitNames(BitNameFields(record.BitNames));
    const int value = ReadChip(record.ReadAddr);
    showValue(value, ValueCaption(value));
    MarkRegisterTreeDefault(RegisterTreeLeaf(TreeView1, record.Key), value, record.DefaultValue);
    txtWriteAddr->setText(AddressCaption(record.WriteAddr));
}

void frmRegMap::showValue(int value, const QString& hexValText) {
    lblDecVal->setText(QString::number(value));
    lblHexVal->setText(hexValText);
    lblDec->setText(QString::number(value));
    lblHex->setText(ValueCaption(value));
    ShowBits(value);
}

void frmRegMap::showBitNames(const QStringList& names) {
    for (int n = 0; n < 8; ++n) {
        lblInfo[n]->setText(names[n]);
        placeBitName(n);
    }
}

void frmRegMap::ShowBits(int value) {
    for (int bit = 7; bit >= 0; --bit)
        lblBit[bit]->setText(BitText(value, bit));
}

void frmRegMap::LayoutBitDisplay() {
    const double frameWidth = Twips(fraBits->width());
    for (int i = 7; i >= 0; --i) {
        const BitCell cell = BitCellOf(i, frameWidth);
        lblBit[i]->setGeometry(PxRect(cell.left, kBitTop, cell.width, kBitHeight));
        placeBitName(7 - i);
    }
}

void frmRegMap::placeBitName(int n) {
    // A name is as wide as its text (at least the design width) and centred under
    // its bit again whenever it changes, so "R1TM1" is neither cut nor off-centre.
    QLabel* name = lblInfo[n];
    const QRect bit = lblBit[7 - n]->geometry();
    const BitCell cell{Twips(bit.x()), Twips(bit.width())};
    const double width =
        std::max(kBitNameWidth, Twips(name->fontMetrics().horizontalAdvance(name->text()) + 2));
    name->setGeometry(PxRect(CentredLeft(cell, width), kBitNameTop, width, kBitNameHeight));
}

void frmRegMap::WriteAction() {
    const CheckedNumber address = RegisterAddressOfText(txtWriteAddr->text(), "write");
    const CheckedNumber value = WriteValueOfText(txtDec->text());
    const CheckedNumber readBack = RegisterAddressOfText(txtReadAddr->text(), "read");
    if (refused({&address, &value, &readBack}))
        return;
    // The window reads back what it wrote; the other views follow once it has.
    const ChipChanges::Action action(&chipChanges);
    WriteChip(address.value, value.value);
    ReadAction();
}

void frmRegMap::chipChanged(const ChipChanges::Writes& writes) {
    if (!registration.attached() || !shownAddress)
        return;
    for (const ChipChanges::RegisterWritten& write : writes.list) {
        // A register is shown at its read address; the written one reads back there.
        int32_t readAddress = write.writeAddress;
        for (const RegisterRecord& record : RegMapStuff::RegisterTable)
            if (record.WriteAddr != 0 && record.WriteAddr == write.writeAddress &&
                record.ReadAddr != RegMapStuff::kPlaceholderAddress)
                readAddress = record.ReadAddr;
        if (readAddress == *shownAddress) {
            readAt(*shownAddress);
            return;
        }
    }
}

void frmRegMap::lblBit_Click(int bit) {
    const CheckedNumber address = RegisterAddressOfText(txtWriteAddr->text(), "write");
    const CheckedNumber readBack = RegisterAddressOfText(txtReadAddr->text(), "read");
    if (refused({&address, &readBack}))
        return;
    lblBit[bit]->setText(ToggledBitText(lblBit[bit]->text()));
    std::array<QString, 8> texts;
    for (int b = 0; b < 8; ++b)
        texts[b] = lblBit[b]->text();
    const ChipChanges::Action action(&chipChanges);
    WriteChip(address.value, ByteOfBitTexts(texts));
    ReadAction();
}

bool frmRegMap::refused(std::initializer_list<const CheckedNumber*> entries) {
    for (const CheckedNumber* entry : entries) {
        if (!entry->ok()) {
            ShowInputWarning(this, entry->problem);
            return true;
        }
    }
    return false;
}

void frmRegMap::refuseReadAddress(const QString& problem) {
    // Left ticked, the monitoring cycle would refuse the same address again every half second.
    if (chkContRead->isChecked()) {
        chkContRead->setChecked(false);
        ShowInputWarning(this, problem + "\nContinuous Read has been switched off.");
        return;
    }
    ShowInputWarning(this, problem);
}

void frmRegMap::txtDec_Change() {
    if (Updating)
        return;
    Updating = true;
    txtHex->setText(HexBoxTextForDecimal(txtDec->text()));
    Updating = false;
}

void frmRegMap::txtHex_Change() {
    if (Updating)
        return;
    Updating = true;
    txtDec->setText(DecimalBoxTextForHex(txtHex->text()));
    Updating = false;
}

void frmRegMap::txtReadAddr_Change() {
    const QString upper = txtReadAddr->text().toUpper();
    if (upper == txtReadAddr->text())
        return;
    const int cursor = txtReadAddr->cursorPosition();
    txtReadAddr->setText(upper);
    txtReadAddr->setCursorPosition(std::min(cursor, static_cast<int>(upper.size())));
}

void frmRegMap::TreeView1_NodeClick(QTreeWidgetItem* node) {
    if (!IsRegisterLeafPath(RegisterTreeFullPath(node)))
        return;
    const int index = RegMapStuff::FindRegisterByKey(RegisterTreeNodeKey(node));
    if (index != RegMapStuff::kNotFound)
        ShowRegister(index);
}
