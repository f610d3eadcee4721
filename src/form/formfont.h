// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef FORMFONT_H
#define FORMFONT_H

#include <QFont>
#include <QList>

class QWidget;

// The font for widgets of fixed size: the desktop's font, narrowed and then made smaller just
// enough that every caption and every spin box value fits the room its style leaves it.
class FormFont
{
public:
    struct Fit
    {
        int needed;
        int room;
    };

    static constexpr int smallestPixelSize = 9;

    // What the widget's caption, or a spin box's widest value, needs in that font, and the
    // room the widget's style gives it.
    static Fit measure(const QWidget *widget, const QFont &font);

    // The first font, from base downwards, in which every widget's text fits; the smallest
    // tried when none does.
    static QFont choose(const QList<const QWidget *> &widgets, const QFont &base);

private:
    static bool fitsAll(const QList<const QWidget *> &widgets, const QFont &font);
    static int condensedStretch(const QFont &base);
};

#endif // FORMFONT_H
