// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef MAINWINDOWFORM_H
#define MAINWINDOWFORM_H

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>
#include <QWidget>

// The main window's widgets, one pointer per widget, named like its object name. The pointers
// do not own: every widget is a child of the window and is destroyed with it.
struct MainWindowForm
{
    QWidget *centralWidget;
    QPushButton *pbQuit;
    QGroupBox *groupBox;
    QComboBox *lbCOMport;
    QPushButton *pbCOMportClose;
    QPushButton *pbCOMportOpen;
    QTextEdit *textEdit;
    QPushButton *pbCOMportClear;
    QPushButton *pbCOMportTX_Echo;
    QLineEdit *lineEdit;
    QPushButton *pbCOMportTX_V;
    QLineEdit *lineEditChSum;
    QCheckBox *checkBoxChSum;
    QGroupBox *groupBox_2;
    QSpinBox *sbIDLB;
    QSpinBox *sbIDHB;
    QSpinBox *sbIDLB_2;
    QSpinBox *sbIDHB_2;
    QGroupBox *groupBox_3;
    QSpinBox *sbData1;
    QSpinBox *sbData0;
    QSpinBox *sbData2;
    QSpinBox *sbData3;
    QSpinBox *sbData5;
    QSpinBox *sbData7;
    QSpinBox *sbData4;
    QSpinBox *sbData6;
    QGroupBox *groupBox_4;
    QSpinBox *sbNumBytes;
    QGroupBox *groupBox_5;
    QRadioButton *radioButtonStd;
    QRadioButton *radioButtonExt;
    QPushButton *pbCOMportTX_S;
    QPushButton *pbAutoSend;
    QGroupBox *groupBox_6;
    QSpinBox *sbNumberMsg;
    QSpinBox *sbAutoSendPeriod;
    QLineEdit *leAutoSendPeriod;
    QMenuBar *menuBar;
    QStatusBar *statusBar;

    void setupUi(QMainWindow *MainWindow);
    void retranslateUi(QMainWindow *MainWindow);
    // Gives the controls one font in which every caption and value fits its fixed box; the
    // log keeps the desktop's font. Call again when the desktop's font changes.
    void fitFonts();
};

#endif // MAINWINDOWFORM_H
