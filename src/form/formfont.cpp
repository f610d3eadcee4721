// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "formfont.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>

#include <utility>

namespace {

// QLineEdit keeps this much of its own on either side of its text, inside the style's
// contents rectangle; spin boxes show their value in such a line edit.
constexpr int lineEditInnerMargin = 2;

int textCursorWidth(const QWidget *widget)
{
    return widget->style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, widget);
}

// A style option for the widget as its style would draw it in that font.
template<typename Option> Option styleOption(const QWidget *widget, const QFontMetrics &metrics)
{
    Option option;
    option.initFrom(widget);
    option.fontMetrics = metrics;
    return option;
}

// A line edit scrolls its text, hiding the first letters, once text and cursor overflow.
FormFont::Fit lineFit(
    const QWidget *widget, const QFontMetrics &metrics, const QString &text, int contentsWidth)
{
    return {metrics.horizontalAdvance(text) + textCursorWidth(widget),
        contentsWidth - 2 * lineEditInnerMargin};
}

FormFont::Fit groupBoxFit(const QGroupBox *box, const QFontMetrics &metrics)
{
    auto option = styleOption<QStyleOptionGroupBox>(box, metrics);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (box->isFlat())
        option.features |= QStyleOptionFrame::Flat;
    const QRect label
        = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    // The style sizes the label to its text, so it is the box's edge that clips it.
    return {
        qMax(label.width(), metrics.horizontalAdvance(box->title())), box->width() - label.left()};
}

FormFont::Fit buttonFit(const QAbstractButton *button, const QFontMetrics &metrics)
{
    auto option = styleOption<QStyleOptionButton>(button, metrics);
    option.text = button->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox *>(button)) {
        contents = QStyle::SE_CheckBoxContents;
    } else if (qobject_cast<const QRadioButton *>(button)) {
        contents = QStyle::SE_RadioButtonContents;
    } else if (auto *push = qobject_cast<const QPushButton *>(button)) {
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isFlat())
            option.features |= QStyleOptionButton::Flat;
    }
    return {metrics.horizontalAdvance(button->text()),
        button->style()->subElementRect(contents, &option, button).width()};
}

QString valueText(const QSpinBox *box, int value)
{
    const int base = box->displayIntegerBase();
    const QString digits = base == 10 ? QString::number(value) : QString::number(value, base);
    return box->prefix() + digits + box->suffix();
}

// The widest text the box can show. In most fonts hex letters differ in width ("dd" is twice
// "ff"), so besides its limits it tries runs of its base's widest digit that are in range.
QString widestValue(const QSpinBox *box, const QFontMetrics &metrics)
{
    const int base = box->displayIntegerBase();
    const auto width = [&](int value) { return metrics.horizontalAdvance(valueText(box, value)); };
    int widestDigit = 1;
    for (int digit = 2; digit < base; ++digit) {
        if (width(digit) > width(widestDigit))
            widestDigit = digit;
    }
    QList<int> candidates {box->minimum(), box->maximum()};
    const auto maximumDigits = static_cast<int>(QString::number(box->maximum(), base).size());
    for (int length = 1, run = widestDigit; length <= maximumDigits;
         ++length, run = run * base + widestDigit)
        candidates << run;
    int widest = box->maximum();
    for (const int value : std::as_const(candidates)) {
        if (value >= box->minimum() && value <= box->maximum() && width(value) > width(widest))
            widest = value;
    }
    return valueText(box, widest);
}

FormFont::Fit spinBoxFit(const QSpinBox *box, const QFontMetrics &metrics)
{
    auto option = styleOption<QStyleOptionSpinBox>(box, metrics);
    option.frame = box->hasFrame();
    option.buttonSymbols = box->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
    if (box->buttonSymbols() != QAbstractSpinBox::NoButtons)
        option.subControls |= QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    const QRect field = box->style()->subControlRect(
        QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, box);
    return lineFit(box, metrics, widestValue(box, metrics), field.width());
}

FormFont::Fit lineEditFit(const QLineEdit *edit, const QFontMetrics &metrics)
{
    auto option = styleOption<QStyleOptionFrame>(edit, metrics);
    option.lineWidth = edit->hasFrame()
        ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
        : 0;
    option.state |= QStyle::State_Sunken;
    if (edit->isReadOnly())
        option.state |= QStyle::State_ReadOnly;
    const QRect contents
        = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    return lineFit(
        edit, metrics, edit->text(), contents.width() - margins.left() - margins.right());
}

int pixelSize(const QFont &font)
{
    return QFontInfo(font).pixelSize();
}

// A font whose face Qt had to squeeze is not the family's own narrow face.
int advanceOfSample(const QFont &font)
{
    return QFontMetrics(font).horizontalAdvance(
        QStringLiteral("The quick brown fox jumps over the lazy dog 0123456789"));
}

} // namespace

FormFont::Fit FormFont::measure(const QWidget *widget, const QFont &font)
{
    const QFontMetrics metrics(font);
    if (auto *box = qobject_cast<const QGroupBox *>(widget))
        return groupBoxFit(box, metrics);
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return buttonFit(button, metrics);
    if (auto *box = qobject_cast<const QSpinBox *>(widget))
        return spinBoxFit(box, metrics);
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return lineEditFit(edit, metrics);
    return {0, widget->width()};
}

bool FormFont::fitsAll(const QList<const QWidget *> &widgets, const QFont &font)
{
    for (const QWidget *widget : widgets) {
        const Fit fit = measure(widget, font);
        if (fit.needed > fit.room)
            return false;
    }
    return true;
}

// The stretch of the family's own narrower face, or 0 when it has none: asking for a stretch
// the family lacks makes Qt squeeze the regular face, which reads worse than a smaller size.
int FormFont::condensedStretch(const QFont &base)
{
    const QString regularFace = QFontInfo(base).styleName();
    for (const int stretch : {int(QFont::SemiCondensed), int(QFont::Condensed)}) {
        QFont narrow = base;
        narrow.setStretch(stretch);
        const QString face = QFontInfo(narrow).styleName();
        if (face == regularFace)
            continue;
        QFont unsqueezed = base;
        unsqueezed.setStyleName(face);
        if (advanceOfSample(unsqueezed) == advanceOfSample(narrow))
            return stretch;
    }
    return 0;
}

QFont FormFont::choose(const QList<const QWidget *> &widgets, const QFont &base)
{
    if (fitsAll(widgets, base) || pixelSize(base) <= smallestPixelSize)
        return base;
    QFont font = base;
    if (const int stretch = condensedStretch(base))
        font.setStretch(stretch);
    for (int size = pixelSize(base); size >= smallestPixelSize; --size) {
        font.setPixelSize(size);
        if (fitsAll(widgets, font))
            break;
    }
    return font;
}
