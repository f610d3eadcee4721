// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "mainwindowform.h"

#include "formfont.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QRect>
#include <QString>

#include <utility>

// Every widget sits at a fixed pixel position and no layout is installed, so resizing the window
// moves nothing. No tab order is set: the creation order below is the Tab order, so reordering
// the blocks changes keyboard navigation.
void MainWindowForm::setupUi(QMainWindow *MainWindow)
{
    if (MainWindow->objectName().isEmpty())
        MainWindow->setObjectName(QStringLiteral("MainWindow"));
    MainWindow->resize(1042, 670);

    centralWidget = new QWidget(MainWindow);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));

    pbQuit = new QPushButton(centralWidget);
    pbQuit->setObjectName(QStringLiteral("pbQuit"));
    pbQuit->setGeometry(QRect(900, 90, 121, 23));

    groupBox = new QGroupBox(centralWidget);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    groupBox->setGeometry(QRect(890, 0, 141, 81));

    lbCOMport = new QComboBox(groupBox);
    lbCOMport->setObjectName(QStringLiteral("lbCOMport"));
    lbCOMport->setGeometry(QRect(10, 20, 121, 22));

    pbCOMportClose = new QPushButton(groupBox);
    pbCOMportClose->setObjectName(QStringLiteral("pbCOMportClose"));
    pbCOMportClose->setGeometry(QRect(80, 50, 51, 23));

    pbCOMportOpen = new QPushButton(groupBox);
    pbCOMportOpen->setObjectName(QStringLiteral("pbCOMportOpen"));
    pbCOMportOpen->setGeometry(QRect(10, 50, 61, 23));

    textEdit = new QTextEdit(centralWidget);
    textEdit->setObjectName(QStringLiteral("textEdit"));
    textEdit->setGeometry(QRect(20, 10, 861, 431));

    pbCOMportClear = new QPushButton(centralWidget);
    pbCOMportClear->setObjectName(QStringLiteral("pbCOMportClear"));
    pbCOMportClear->setGeometry(QRect(900, 120, 121, 23));

    pbCOMportTX_Echo = new QPushButton(centralWidget);
    pbCOMportTX_Echo->setObjectName(QStringLiteral("pbCOMportTX_Echo"));
    pbCOMportTX_Echo->setGeometry(QRect(900, 150, 121, 23));

    lineEdit = new QLineEdit(centralWidget);
    lineEdit->setObjectName(QStringLiteral("lineEdit"));
    lineEdit->setGeometry(QRect(20, 590, 611, 20));

    pbCOMportTX_V = new QPushButton(centralWidget);
    pbCOMportTX_V->setObjectName(QStringLiteral("pbCOMportTX_V"));
    pbCOMportTX_V->setGeometry(QRect(900, 590, 121, 23));

    lineEditChSum = new QLineEdit(centralWidget);
    lineEditChSum->setObjectName(QStringLiteral("lineEditChSum"));
    lineEditChSum->setGeometry(QRect(640, 590, 61, 20));

    checkBoxChSum = new QCheckBox(centralWidget);
    checkBoxChSum->setObjectName(QStringLiteral("checkBoxChSum"));
    checkBoxChSum->setGeometry(QRect(730, 590, 101, 17));

    groupBox_2 = new QGroupBox(centralWidget);
    groupBox_2->setObjectName(QStringLiteral("groupBox_2"));
    groupBox_2->setGeometry(QRect(120, 450, 211, 51));

    sbIDLB = new QSpinBox(groupBox_2);
    sbIDLB->setObjectName(QStringLiteral("sbIDLB"));
    sbIDLB->setGeometry(QRect(60, 20, 42, 22));
    sbIDLB->setMaximum(255);
    sbIDLB->setDisplayIntegerBase(16);

    sbIDHB = new QSpinBox(groupBox_2);
    sbIDHB->setObjectName(QStringLiteral("sbIDHB"));
    sbIDHB->setGeometry(QRect(10, 20, 42, 22));
    sbIDHB->setMaximum(255);
    sbIDHB->setDisplayIntegerBase(16);

    sbIDLB_2 = new QSpinBox(groupBox_2);
    sbIDLB_2->setObjectName(QStringLiteral("sbIDLB_2"));
    sbIDLB_2->setGeometry(QRect(160, 20, 42, 22));
    sbIDLB_2->setMaximum(255);
    sbIDLB_2->setDisplayIntegerBase(16);

    sbIDHB_2 = new QSpinBox(groupBox_2);
    sbIDHB_2->setObjectName(QStringLiteral("sbIDHB_2"));
    sbIDHB_2->setGeometry(QRect(110, 20, 42, 22));
    sbIDHB_2->setMaximum(255);
    sbIDHB_2->setDisplayIntegerBase(16);

    groupBox_3 = new QGroupBox(centralWidget);
    groupBox_3->setObjectName(QStringLiteral("groupBox_3"));
    groupBox_3->setGeometry(QRect(20, 510, 411, 51));

    sbData1 = new QSpinBox(groupBox_3);
    sbData1->setObjectName(QStringLiteral("sbData1"));
    sbData1->setGeometry(QRect(60, 20, 42, 22));
    sbData1->setMaximum(255);
    sbData1->setDisplayIntegerBase(16);

    sbData0 = new QSpinBox(groupBox_3);
    sbData0->setObjectName(QStringLiteral("sbData0"));
    sbData0->setGeometry(QRect(10, 20, 42, 22));
    sbData0->setMaximum(255);
    sbData0->setDisplayIntegerBase(16);

    sbData2 = new QSpinBox(groupBox_3);
    sbData2->setObjectName(QStringLiteral("sbData2"));
    sbData2->setGeometry(QRect(110, 20, 42, 22));
    sbData2->setMaximum(255);
    sbData2->setDisplayIntegerBase(16);

    sbData3 = new QSpinBox(groupBox_3);
    sbData3->setObjectName(QStringLiteral("sbData3"));
    sbData3->setGeometry(QRect(160, 20, 42, 22));
    sbData3->setMaximum(255);
    sbData3->setDisplayIntegerBase(16);

    sbData5 = new QSpinBox(groupBox_3);
    sbData5->setObjectName(QStringLiteral("sbData5"));
    sbData5->setGeometry(QRect(260, 20, 42, 22));
    sbData5->setMaximum(255);
    sbData5->setDisplayIntegerBase(16);

    sbData7 = new QSpinBox(groupBox_3);
    sbData7->setObjectName(QStringLiteral("sbData7"));
    sbData7->setGeometry(QRect(360, 20, 42, 22));
    sbData7->setMaximum(255);
    sbData7->setDisplayIntegerBase(16);

    sbData4 = new QSpinBox(groupBox_3);
    sbData4->setObjectName(QStringLiteral("sbData4"));
    sbData4->setGeometry(QRect(210, 20, 42, 22));
    sbData4->setMaximum(255);
    sbData4->setDisplayIntegerBase(16);

    sbData6 = new QSpinBox(groupBox_3);
    sbData6->setObjectName(QStringLiteral("sbData6"));
    sbData6->setGeometry(QRect(310, 20, 42, 22));
    sbData6->setMaximum(255);
    sbData6->setDisplayIntegerBase(16);

    groupBox_4 = new QGroupBox(centralWidget);
    groupBox_4->setObjectName(QStringLiteral("groupBox_4"));
    groupBox_4->setGeometry(QRect(440, 510, 111, 51));

    sbNumBytes = new QSpinBox(groupBox_4);
    sbNumBytes->setObjectName(QStringLiteral("sbNumBytes"));
    sbNumBytes->setGeometry(QRect(10, 20, 42, 22));
    sbNumBytes->setMinimum(1);
    sbNumBytes->setMaximum(8);
    sbNumBytes->setValue(8);
    sbNumBytes->setDisplayIntegerBase(16);

    groupBox_5 = new QGroupBox(centralWidget);
    groupBox_5->setObjectName(QStringLiteral("groupBox_5"));
    groupBox_5->setGeometry(QRect(340, 450, 211, 51));

    radioButtonStd = new QRadioButton(groupBox_5);
    radioButtonStd->setObjectName(QStringLiteral("radioButtonStd"));
    radioButtonStd->setGeometry(QRect(10, 20, 101, 17));

    radioButtonExt = new QRadioButton(groupBox_5);
    radioButtonExt->setObjectName(QStringLiteral("radioButtonExt"));
    radioButtonExt->setGeometry(QRect(110, 20, 101, 17));
    radioButtonExt->setChecked(true);

    pbCOMportTX_S = new QPushButton(centralWidget);
    pbCOMportTX_S->setObjectName(QStringLiteral("pbCOMportTX_S"));
    pbCOMportTX_S->setGeometry(QRect(900, 500, 121, 23));

    pbAutoSend = new QPushButton(centralWidget);
    pbAutoSend->setObjectName(QStringLiteral("pbAutoSend"));
    pbAutoSend->setGeometry(QRect(900, 470, 121, 23));
    pbAutoSend->setCheckable(true);

    // TX_Data sends the message number the box holds; its group is disabled, so it stays 0.
    groupBox_6 = new QGroupBox(centralWidget);
    groupBox_6->setObjectName(QStringLiteral("groupBox_6"));
    groupBox_6->setEnabled(false);
    groupBox_6->setGeometry(QRect(20, 450, 91, 51));

    sbNumberMsg = new QSpinBox(groupBox_6);
    sbNumberMsg->setObjectName(QStringLiteral("sbNumberMsg"));
    sbNumberMsg->setGeometry(QRect(10, 20, 41, 22));
    sbNumberMsg->setMaximum(255);
    sbNumberMsg->setDisplayIntegerBase(16);

    sbAutoSendPeriod = new QSpinBox(centralWidget);
    sbAutoSendPeriod->setObjectName(QStringLiteral("sbAutoSendPeriod"));
    sbAutoSendPeriod->setGeometry(QRect(830, 470, 61, 22));
    sbAutoSendPeriod->setMinimum(10);
    sbAutoSendPeriod->setMaximum(10000);
    sbAutoSendPeriod->setValue(1000);

    // A line edit turned into an inert caption for sbAutoSendPeriod. Its text is fixed, not
    // translated: retranslateUi leaves it alone.
    leAutoSendPeriod = new QLineEdit(centralWidget);
    leAutoSendPeriod->setObjectName(QStringLiteral("leAutoSendPeriod"));
    leAutoSendPeriod->setEnabled(false);
    leAutoSendPeriod->setGeometry(QRect(750, 470, 71, 20));
    leAutoSendPeriod->setMouseTracking(false);
    leAutoSendPeriod->setFocusPolicy(Qt::NoFocus);
    leAutoSendPeriod->setContextMenuPolicy(Qt::NoContextMenu);
    leAutoSendPeriod->setAcceptDrops(false);
    leAutoSendPeriod->setAutoFillBackground(true);
    leAutoSendPeriod->setInputMask(QString());
    leAutoSendPeriod->setText(QString::fromUtf8("Период, мс"));
    leAutoSendPeriod->setFrame(false);
    leAutoSendPeriod->setEchoMode(QLineEdit::Normal);
    leAutoSendPeriod->setReadOnly(true);
    leAutoSendPeriod->setCursorMoveStyle(Qt::VisualMoveStyle);

    MainWindow->setCentralWidget(centralWidget);

    groupBox->raise();
    pbQuit->raise();
    textEdit->raise();
    pbCOMportClear->raise();
    pbCOMportTX_Echo->raise();
    lineEdit->raise();
    pbCOMportTX_V->raise();
    lineEditChSum->raise();
    checkBoxChSum->raise();
    groupBox_2->raise();
    groupBox_3->raise();
    groupBox_4->raise();
    groupBox_5->raise();
    pbCOMportTX_S->raise();
    pbAutoSend->raise();
    groupBox_6->raise();
    sbAutoSendPeriod->raise();
    leAutoSendPeriod->raise();

    menuBar = new QMenuBar(MainWindow);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setGeometry(QRect(0, 0, 1042, 21));
    MainWindow->setMenuBar(menuBar);

    statusBar = new QStatusBar(MainWindow);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    MainWindow->setStatusBar(statusBar);

    retranslateUi(MainWindow);

    // The form's one connection is made by signature text, as its interface fixes it; clazy
    // would have it rewritten. clazy:excludeall=old-style-connect
    QObject::connect(pbQuit, SIGNAL(clicked()), MainWindow, SLOT(close()));

    QMetaObject::connectSlotsByName(MainWindow);

    fitFonts();
}

void MainWindowForm::retranslateUi(QMainWindow *MainWindow)
{
    MainWindow->setWindowTitle(
        QCoreApplication::translate("MainWindow", "KT940-3. USB - CAN Terminal", nullptr));
    pbQuit->setText(QCoreApplication::translate("MainWindow", "Quit", nullptr));
    groupBox->setTitle(QCoreApplication::translate("MainWindow", "COM Port", nullptr));
    pbCOMportClose->setText(QCoreApplication::translate("MainWindow", "Close", nullptr));
    pbCOMportOpen->setText(QCoreApplication::translate("MainWindow", "Open", nullptr));
    pbCOMportClear->setText(QCoreApplication::translate("MainWindow", "Clear", nullptr));
    pbCOMportTX_Echo->setText(QCoreApplication::translate("MainWindow", "Send Echo", nullptr));
    pbCOMportTX_V->setText(QCoreApplication::translate("MainWindow", "TX String", nullptr));
    checkBoxChSum->setText(QCoreApplication::translate("MainWindow", "Add Check Sum", nullptr));
    groupBox_2->setTitle(QCoreApplication::translate("MainWindow", "ID посылки", nullptr));
    groupBox_3->setTitle(QCoreApplication::translate("MainWindow", "Данные", nullptr));
    groupBox_4->setTitle(QCoreApplication::translate("MainWindow", "Количество байт", nullptr));
    groupBox_5->setTitle(QCoreApplication::translate("MainWindow", "Тип ID", nullptr));
    radioButtonStd->setText(QCoreApplication::translate("MainWindow", "Стандартный", nullptr));
    radioButtonExt->setText(QCoreApplication::translate("MainWindow", "Расширенный", nullptr));
    pbCOMportTX_S->setText(QCoreApplication::translate("MainWindow", "TX Data", nullptr));
    pbAutoSend->setText(QCoreApplication::translate("MainWindow", "Auto Send Data", nullptr));
    groupBox_6->setTitle(QCoreApplication::translate("MainWindow", "Номер сообщ.", nullptr));

#if QT_CONFIG(accessibility)
    // Qt names a control that has no name of its own after its group box's title, so screen
    // readers would call all eight data boxes "Данные" and all four identifier boxes "ID
    // посылки". Identifier bytes are numbered in the order they are sent, which is also their
    // Tab order; on screen each pair shows its high byte first. The combo box is named by its
    // group's title, the buttons, the check box and the radio buttons by their captions.
    const QString hexByte
        = QCoreApplication::translate("MainWindow", "Hexadecimal, 00 to FF.", nullptr);
    lbCOMport->setAccessibleDescription(QCoreApplication::translate(
        "MainWindow", "The serial ports present when the program started.", nullptr));
    textEdit->setAccessibleName(QCoreApplication::translate("MainWindow", "Traffic log", nullptr));
    textEdit->setAccessibleDescription(QCoreApplication::translate("MainWindow",
        "Bytes sent and received in hexadecimal, one block a line: sent lines start with <--, "
        "received ones with -->. Tab types into the log; Shift+Tab leaves it.",
        nullptr));
    lineEdit->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Hex bytes to send", nullptr));
    lineEdit->setAccessibleDescription(QCoreApplication::translate(
        "MainWindow", "Hexadecimal bytes separated by blanks, sent by TX String.", nullptr));
    lineEditChSum->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Checksum", nullptr));
    lineEditChSum->setAccessibleDescription(QCoreApplication::translate("MainWindow",
        "The XOR checksum TX String appended last, in hexadecimal; empty without Add Check Sum.",
        nullptr));
    sbIDLB->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Identifier byte 1 (low)", nullptr));
    sbIDLB->setAccessibleDescription(QCoreApplication::translate(
        "MainWindow", "Sent first; second box from the left. Hexadecimal, 00 to FF.", nullptr));
    sbIDHB->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Identifier byte 2", nullptr));
    sbIDHB->setAccessibleDescription(QCoreApplication::translate("MainWindow",
        "Sent second, the high byte of a standard identifier; first box from the left. "
        "Hexadecimal, 00 to FF.",
        nullptr));
    sbIDLB_2->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Identifier byte 3", nullptr));
    sbIDLB_2->setAccessibleDescription(QCoreApplication::translate("MainWindow",
        "Extended identifiers only. Sent third; fourth box from the left. Hexadecimal, 00 to FF.",
        nullptr));
    sbIDHB_2->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Identifier byte 4 (high)", nullptr));
    sbIDHB_2->setAccessibleDescription(QCoreApplication::translate("MainWindow",
        "Extended identifiers only. Sent last; third box from the left. Hexadecimal, 00 to FF.",
        nullptr));
    sbData0->setAccessibleName(QCoreApplication::translate("MainWindow", "Data byte 1", nullptr));
    sbData1->setAccessibleName(QCoreApplication::translate("MainWindow", "Data byte 2", nullptr));
    sbData2->setAccessibleName(QCoreApplication::translate("MainWindow", "Data byte 3", nullptr));
    sbData3->setAccessibleName(QCoreApplication::translate("MainWindow", "Data byte 4", nullptr));
    sbData4->setAccessibleName(QCoreApplication::translate("MainWindow", "Data byte 5", nullptr));
    sbData5->setAccessibleName(QCoreApplication::translate("MainWindow", "Data byte 6", nullptr));
    sbData6->setAccessibleName(QCoreApplication::translate("MainWindow", "Data byte 7", nullptr));
    sbData7->setAccessibleName(QCoreApplication::translate("MainWindow", "Data byte 8", nullptr));
    for (QSpinBox *box : {sbData0, sbData1, sbData2, sbData3, sbData4, sbData5, sbData6, sbData7})
        box->setAccessibleDescription(hexByte);
    sbNumBytes->setAccessibleName(QCoreApplication::translate("MainWindow", "Byte count", nullptr));
    sbNumBytes->setAccessibleDescription(QCoreApplication::translate(
        "MainWindow", "How many data bytes are sent, 1 to 8.", nullptr));
    sbNumberMsg->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Message number", nullptr));
    sbNumberMsg->setAccessibleDescription(QCoreApplication::translate(
        "MainWindow", "Sent with every message; kept at 00, cannot be changed.", nullptr));
    sbAutoSendPeriod->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Auto-send period, ms", nullptr));
    sbAutoSendPeriod->setAccessibleDescription(QCoreApplication::translate("MainWindow",
        "Milliseconds between frames while Auto Send Data is pressed, decimal, 10 to 10000.",
        nullptr));
    leAutoSendPeriod->setAccessibleName(
        QCoreApplication::translate("MainWindow", "Auto-send period caption", nullptr));
    leAutoSendPeriod->setAccessibleDescription(QCoreApplication::translate(
        "MainWindow", "Says that the period beside it is in milliseconds.", nullptr));
#endif
}

void MainWindowForm::fitFonts()
{
    QList<QWidget *> controls
        = centralWidget->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    controls.removeOne(textEdit);
    QList<const QWidget *> measured;
    for (QWidget *control : std::as_const(controls)) {
        measured << control;
        if (qobject_cast<QGroupBox *>(control)) {
            const QList<QWidget *> children
                = control->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
            for (QWidget *child : children)
                measured << child;
        }
    }
    const QFont font = FormFont::choose(measured, centralWidget->font());
    for (QWidget *control : std::as_const(controls))
        control->setFont(font);
}
