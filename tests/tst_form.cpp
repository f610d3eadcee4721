// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "formfont.h"
#include "mainwindowform.h"

#include <QAccessible>
#include <QFontInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>

// clang-format off
// Every member of MainWindowForm in declaration order: class, parent, geometry, caption.
#define FORM_OBJECTS(X) \
    X(centralWidget, QWidget, MainWindow, QRect(), nullptr) \
    X(pbQuit, QPushButton, centralWidget, QRect(900, 90, 121, 23), "Quit") \
    X(groupBox, QGroupBox, centralWidget, QRect(890, 0, 141, 81), "COM Port") \
    X(lbCOMport, QComboBox, groupBox, QRect(10, 20, 121, 22), nullptr) \
    X(pbCOMportClose, QPushButton, groupBox, QRect(80, 50, 51, 23), "Close") \
    X(pbCOMportOpen, QPushButton, groupBox, QRect(10, 50, 61, 23), "Open") \
    X(textEdit, QTextEdit, centralWidget, QRect(20, 10, 861, 431), nullptr) \
    X(pbCOMportClear, QPushButton, centralWidget, QRect(900, 120, 121, 23), "Clear") \
    X(pbCOMportTX_Echo, QPushButton, centralWidget, QRect(900, 150, 121, 23), "Send Echo") \
    X(lineEdit, QLineEdit, centralWidget, QRect(20, 590, 611, 20), "") \
    X(pbCOMportTX_V, QPushButton, centralWidget, QRect(900, 590, 121, 23), "TX String") \
    X(lineEditChSum, QLineEdit, centralWidget, QRect(640, 590, 61, 20), "") \
    X(checkBoxChSum, QCheckBox, centralWidget, QRect(730, 590, 101, 17), "Add Check Sum") \
    X(groupBox_2, QGroupBox, centralWidget, QRect(120, 450, 211, 51), "ID посылки") \
    X(sbIDLB, QSpinBox, groupBox_2, QRect(60, 20, 42, 22), nullptr) \
    X(sbIDHB, QSpinBox, groupBox_2, QRect(10, 20, 42, 22), nullptr) \
    X(sbIDLB_2, QSpinBox, groupBox_2, QRect(160, 20, 42, 22), nullptr) \
    X(sbIDHB_2, QSpinBox, groupBox_2, QRect(110, 20, 42, 22), nullptr) \
    X(groupBox_3, QGroupBox, centralWidget, QRect(20, 510, 411, 51), "Данные") \
    X(sbData1, QSpinBox, groupBox_3, QRect(60, 20, 42, 22), nullptr) \
    X(sbData0, QSpinBox, groupBox_3, QRect(10, 20, 42, 22), nullptr) \
    X(sbData2, QSpinBox, groupBox_3, QRect(110, 20, 42, 22), nullptr) \
    X(sbData3, QSpinBox, groupBox_3, QRect(160, 20, 42, 22), nullptr) \
    X(sbData5, QSpinBox, groupBox_3, QRect(260, 20, 42, 22), nullptr) \
    X(sbData7, QSpinBox, groupBox_3, QRect(360, 20, 42, 22), nullptr) \
    X(sbData4, QSpinBox, groupBox_3, QRect(210, 20, 42, 22), nullptr) \
    X(sbData6, QSpinBox, groupBox_3, QRect(310, 20, 42, 22), nullptr) \
    X(groupBox_4, QGroupBox, centralWidget, QRect(440, 510, 111, 51), "Количество байт") \
    X(sbNumBytes, QSpinBox, groupBox_4, QRect(10, 20, 42, 22), nullptr) \
    X(groupBox_5, QGroupBox, centralWidget, QRect(340, 450, 211, 51), "Тип ID") \
    X(radioButtonStd, QRadioButton, groupBox_5, QRect(10, 20, 101, 17), "Стандартный") \
    X(radioButtonExt, QRadioButton, groupBox_5, QRect(110, 20, 101, 17), "Расширенный") \
    X(pbCOMportTX_S, QPushButton, centralWidget, QRect(900, 500, 121, 23), "TX Data") \
    X(pbAutoSend, QPushButton, centralWidget, QRect(900, 470, 121, 23), "Auto Send Data") \
    X(groupBox_6, QGroupBox, centralWidget, QRect(20, 450, 91, 51), "Номер сообщ.") \
    X(sbNumberMsg, QSpinBox, groupBox_6, QRect(10, 20, 41, 22), nullptr) \
    X(sbAutoSendPeriod, QSpinBox, centralWidget, QRect(830, 470, 61, 22), nullptr) \
    X(leAutoSendPeriod, QLineEdit, centralWidget, QRect(750, 470, 71, 20), "Период, мс") \
    X(menuBar, QMenuBar, MainWindow, QRect(0, 0, 1042, 21), nullptr) \
    X(statusBar, QStatusBar, MainWindow, QRect(), nullptr)
// clang-format on

namespace {

struct Row
{
    const char *name, *className, *parent;
    QRect geometry;
    const char *caption;
    std::size_t offset;
};

#define KT_ROW(m, cls, parent, rect, caption)                                                      \
    Row {#m, #cls, #parent, rect, caption, offsetof(MainWindowForm, m)},
constexpr Row rows[] = {FORM_OBJECTS(KT_ROW)};

#define KT_TYPE(m, cls, ...) static_assert(std::is_same_v<decltype(MainWindowForm::m), cls *>);
FORM_OBJECTS(KT_TYPE)

constexpr bool declaredInRowOrder()
{
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        if (rows[i].offset != i * sizeof(void *))
            return false;
    }
    return sizeof(MainWindowForm) == std::size(rows) * sizeof(void *);
}
static_assert(std::is_standard_layout_v<MainWindowForm> && !std::is_polymorphic_v<MainWindowForm>);
static_assert(declaredInRowOrder());

QList<QWidget *> members(const MainWindowForm &form)
{
#define KT_MEMBER(m, ...) form.m,
    return {FORM_OBJECTS(KT_MEMBER)};
}

// Answers every lookup of the form's context, recording what went through translation.
class RecordingTranslator : public QTranslator
{
public:
    mutable QStringList sources;
    bool isEmpty() const override { return false; }
    QString translate(
        const char *context, const char *source, const char *disambiguation, int n) const override
    {
        if (std::strcmp(context, "MainWindow") != 0 || disambiguation || n != -1)
            return QString();
        sources << QString::fromUtf8(source);
        return QLatin1Char('~') + sources.last();
    }
};

// Where the line edit shows its first letter once painted with the cursor at the end; a line
// edit too narrow for its text has scrolled it to the left of where a roomy one shows it.
int firstLetterX(QLineEdit *edit)
{
    edit->setCursorPosition(edit->text().size());
    edit->grab();
    edit->setCursorPosition(0);
    return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
}

bool showsWholeText(QLineEdit *edit)
{
    QLineEdit roomy;
    roomy.setFrame(edit->hasFrame());
    roomy.setFont(edit->font());
    roomy.setTextMargins(edit->textMargins());
    roomy.setText(edit->text());
    roomy.resize(1000, edit->height());
    return firstLetterX(edit) == firstLetterX(&roomy);
}

} // namespace

class tst_Form : public QObject
{
    Q_OBJECT

    std::unique_ptr<QMainWindow> window;
    MainWindowForm form {};

private slots:
    void init()
    {
        form = MainWindowForm(); // no pointer may survive from the previous test's window
        window = std::make_unique<QMainWindow>();
        form.setupUi(window.get());
    }

    void cleanup() { window.reset(); }

    void objects_data()
    {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < std::size(rows); ++i)
            QTest::newRow(rows[i].name) << int(i);
    }

    void objects()
    {
        QFETCH(int, row);
        const Row &expected = rows[row];
        QWidget *widget = members(form).at(row);
        QVERIFY(widget);
        QCOMPARE(widget->objectName(), QString::fromLatin1(expected.name));
        QCOMPARE(widget->metaObject()->className(), expected.className);
        QCOMPARE(widget->parent()->objectName(), QString::fromLatin1(expected.parent));
        if (!expected.geometry.isNull())
            QCOMPARE(widget->geometry(), expected.geometry);
        if (expected.caption) {
            const char *property = qobject_cast<QGroupBox *>(widget) ? "title" : "text";
            QCOMPARE(widget->property(property).toString(), QString::fromUtf8(expected.caption));
        }
    }

    void windowSetup()
    {
        QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(window->windowTitle(), QStringLiteral("KT940-3. USB - CAN Terminal"));
        QCOMPARE(window->size(), QSize(1042, 670));
        QVERIFY(window->centralWidget() == form.centralWidget);
        QVERIFY(window->menuBar() == form.menuBar);
        QVERIFY(window->statusBar() == form.statusBar);

        QMainWindow named;
        named.setObjectName(QStringLiteral("named"));
        MainWindowForm().setupUi(&named);
        QCOMPARE(named.objectName(), QStringLiteral("named"));
    }

    void spinBoxes_data()
    {
        QTest::addColumn<QList<int>>("expected"); // minimum, maximum, value, display base
        for (const char *name : {"sbIDLB", "sbIDHB", "sbIDLB_2", "sbIDHB_2", "sbData0", "sbData1",
                 "sbData2", "sbData3", "sbData4", "sbData5", "sbData6", "sbData7", "sbNumberMsg"})
            QTest::newRow(name) << QList<int> {0, 255, 0, 16};
        QTest::newRow("sbNumBytes") << QList<int> {1, 8, 8, 16};
        QTest::newRow("sbAutoSendPeriod") << QList<int> {10, 10000, 1000, 10};
    }

    void spinBoxes()
    {
        QFETCH(QList<int>, expected);
        auto *box = window->findChild<QSpinBox *>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(box);
        QCOMPARE(
            QList<int>({box->minimum(), box->maximum(), box->value(), box->displayIntegerBase()}),
            expected);
    }

    void captionsTranslatedOnceInOrder()
    {
        QStringList expected {window->windowTitle()};
        for (const Row &row : rows) {
            if (row.caption && *row.caption && std::strcmp(row.name, "leAutoSendPeriod") != 0)
                expected << QString::fromUtf8(row.caption);
        }
        RecordingTranslator translator;
        QCoreApplication::installTranslator(&translator);
        QMainWindow translated;
        MainWindowForm other;
        other.setupUi(&translated);
        // The accessible names and descriptions follow the captions.
        QCOMPARE(translator.sources.mid(0, expected.size()), expected);
        QCOMPARE(other.groupBox_6->title(), QStringLiteral("~Номер сообщ."));
        QCOMPARE(other.leAutoSendPeriod->text(), QStringLiteral("Период, мс"));
    }

    // Without names of their own, every box in a group box would be called after its title.
    void accessibleNamesTellInputsApart()
    {
        QStringList names;
        for (QWidget *widget : members(form)) {
            if (qobject_cast<QGroupBox *>(widget) || widget == form.centralWidget
                || widget == form.menuBar || widget == form.statusBar)
                continue;
            const QByteArray object = widget->objectName().toLatin1();
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(iface, object.constData());
            QString name = iface->text(QAccessible::Name);
            const QString value = iface->text(QAccessible::Value);
            // On Unix Qt reports a combo box's current item as its name and names the box
            // through the label relation instead, which screen readers read out with it.
            if (iface->role() == QAccessible::ComboBox && name == value) {
                const auto labels = iface->relations(QAccessible::Label);
                QVERIFY2(labels.size() == 1, object.constData());
                name = labels.first().first->text(QAccessible::Name);
            }
            QVERIFY2(!name.isEmpty(), object.constData());
            QVERIFY2(name != value, object.constData());
            QVERIFY2(!names.contains(name), qPrintable(name));
            names << name;
        }
    }

    // Creation order shows in the focus chain, and so in the Tab order; raise() has reordered
    // the central widget's children into stacking order.
    void creationAndStackingOrder()
    {
        const QList<QWidget *> all = members(form);
        QStringList created, declared, stacked;
        for (QWidget *w = window->nextInFocusChain(); w != window.get();
             w = w->nextInFocusChain()) {
            if (all.contains(w))
                created << w->objectName();
        }
        for (const Row &row : rows)
            declared << QString::fromLatin1(row.name);
        QCOMPARE(created, declared);

        for (QObject *child : form.centralWidget->children())
            stacked << child->objectName();
        QCOMPARE(stacked.join(QLatin1Char(' ')),
            QStringLiteral("groupBox pbQuit textEdit pbCOMportClear pbCOMportTX_Echo lineEdit "
                           "pbCOMportTX_V lineEditChSum checkBoxChSum groupBox_2 groupBox_3 "
                           "groupBox_4 groupBox_5 pbCOMportTX_S pbAutoSend groupBox_6 "
                           "sbAutoSendPeriod leAutoSendPeriod"));
    }

    void widgetStates()
    {
        const QStringList disabled {"groupBox_6", "sbNumberMsg", "leAutoSendPeriod"};
        for (QWidget *widget : members(form)) {
            const QString name = widget->objectName();
            QCOMPARE(widget->isEnabled(), !disabled.contains(name));
            QCOMPARE(widget->autoFillBackground(), name == "leAutoSendPeriod");
            if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
                QCOMPARE(button->isChecked(), name == "radioButtonExt");
                if (qobject_cast<QPushButton *>(button))
                    QCOMPARE(button->isCheckable(), name == "pbAutoSend");
            }
        }
        form.radioButtonStd->click();
        QVERIFY(!form.radioButtonExt->isChecked());

        const QLineEdit *caption = form.leAutoSendPeriod;
        QCOMPARE(caption->focusPolicy(), Qt::NoFocus);
        QCOMPARE(caption->contextMenuPolicy(), Qt::NoContextMenu);
        QCOMPARE(caption->echoMode(), QLineEdit::Normal);
        QCOMPARE(caption->cursorMoveStyle(), Qt::VisualMoveStyle);
        QVERIFY(caption->isReadOnly() && !caption->hasFrame() && !caption->acceptDrops());
        QVERIFY(!caption->hasMouseTracking() && caption->inputMask().isEmpty());
    }

    void quitClosesWindow()
    {
        window->show();
        window->setAttribute(Qt::WA_DeleteOnClose); // tells close() from a mere hide()
        QSignalSpy destroyed(window.release(), &QObject::destroyed);
        // Clicked from inside the event loop, as a user's click is: Qt 6 closes the window
        // through an event, and a deletion posted from there is only carried out once
        // control is back in a loop below that event, which a click made directly from the
        // test function never reaches.
        QTimer::singleShot(0, form.pbQuit, &QPushButton::click);
        QVERIFY(destroyed.wait());
    }

    // The form's boxes are fixed in pixels while desktop fonts are not.
    void captionsAndValuesFit_data()
    {
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("platform font") << 0;
        for (const char *size : {"13", "16", "19"})
            QTest::newRow(size) << QByteArray(size).toInt();
    }

    void captionsAndValuesFit()
    {
        QFETCH(int, pixelSize);
        const QFont platform = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(platform); });
        if (pixelSize) {
            QFont font = platform;
            font.setPixelSize(pixelSize);
            QApplication::setFont(font);
        }
        init();
        window->show();
        verifyEverythingFits();
    }

    void resizeMovesNothing()
    {
        window->show();
        window->resize(1400, 900);
        QTRY_COMPARE(form.centralWidget->width(), 1400);
        const QList<QWidget *> all = members(form);
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            if (std::strcmp(rows[i].parent, "MainWindow") != 0)
                QCOMPARE(all.at(int(i))->geometry(), rows[i].geometry);
        }
    }

private:
    // Every caption and spin box value fits its box, in a font no smaller than 9 px, with the
    // geometry untouched; the log keeps the application's font.
    void verifyEverythingFits()
    {
        QCOMPARE(form.textEdit->font().toString(), QApplication::font().toString());
        const QList<QWidget *> all = members(form);
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            const Row &row = rows[i];
            QWidget *widget = all.at(int(i));
            auto *box = qobject_cast<QSpinBox *>(widget);
            if (!box && !(row.caption && *row.caption))
                continue;
            const FormFont::Fit fit = FormFont::measure(widget, widget->font());
            QVERIFY2(fit.needed <= fit.room,
                qPrintable(QStringLiteral("%1 needs %2 px, has %3")
                               .arg(QLatin1String(row.name))
                               .arg(fit.needed)
                               .arg(fit.room)));
            QVERIFY2(
                QFontInfo(widget->font()).pixelSize() >= FormFont::smallestPixelSize, row.name);
            QCOMPARE(widget->geometry(), row.geometry);
            if (box) {
                // Every value, or a few hundred across the range: hex letters and digits
                // differ in width, so the limits alone prove little.
                const int value = box->value();
                const int step = qMax(1, (box->maximum() - box->minimum()) / 256);
                for (int shown = box->minimum(); shown <= box->maximum() + step; shown += step) {
                    box->setValue(qMin(shown, box->maximum()));
                    QVERIFY2(showsWholeText(box->findChild<QLineEdit *>()),
                        qPrintable(
                            QStringLiteral("%1 at %2").arg(QLatin1String(row.name), box->text())));
                }
                box->setValue(value);
            } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
                QVERIFY2(showsWholeText(edit), row.name);
            }
        }
    }
};

QTEST_MAIN(tst_Form)
#include "tst_form.moc"
