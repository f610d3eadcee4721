// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef LOGLAYOUT_H
#define LOGLAYOUT_H

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextOption>

#include <array>
#include <vector>

class QTextLayout;

// Lays out a document of plain paragraphs as Qt's own layout does, but only the paragraphs
// that are shown or asked for. At the line rate the log gains thousands of paragraphs a
// second, nearly all scrolled past unseen; a paragraph of printable ASCII that surely fits
// the width is one line high, which its characters' advances tell without laying it out.
class LogLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT
    // The text view sets and reads it by name, as on Qt's layout.
    Q_PROPERTY(int cursorWidth MEMBER cursorWidth)

public:
    explicit LogLayout(QTextDocument *document);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    // Lengths in 64ths of a pixel, rounded as Qt's layout rounds them, so that paragraphs
    // land on the same pixels.
    using Fixed = qint64;

    struct Frame
    {
        Fixed left = 0;
        Fixed top = 0;
        Fixed right = 0;
        Fixed bottom = 0;
        Fixed width = 0; // of a paragraph's lines; 0 or less: no wrapping
        Fixed pageWidth = 0;
    };

    Frame frame() const;
    void calibrate() const;
    // The height of `block`, from its characters if it surely fits one line, else laid out.
    Fixed measure(const QTextBlock &block) const;
    bool fitsOneLine(const QTextBlock &block) const;
    // Lays out `block` where it stands now, once for as long as it is unchanged.
    QTextLayout *layoutAt(const QTextBlock &block, Fixed top) const;
    Fixed layOut(const QTextBlock &block, QTextLayout *layout) const;
    Fixed topOf(int blockNumber) const;
    int blockNumberAt(Fixed y) const;
    void sizeMayHaveChanged(const QSizeF &before) const;

    // For each paragraph: where it ends, and whether it is laid out for that end.
    mutable std::vector<Fixed> bottoms;
    mutable std::vector<bool> laidOut;
    Frame laidOutFrame;

    // The document's font and option the advances below were taken for, when first needed.
    mutable bool calibrated = false;
    mutable QFont calibratedFont;
    mutable QTextOption calibratedOption;
    mutable bool oneLineKnown = false;
    mutable Fixed lineHeight = 0;
    mutable std::array<Fixed, 0x7f - 0x20> advances {};
    int cursorWidth = 1;
    // Formats known to be the document's own, by index; clearing the document renumbers them.
    mutable int plainCharFormat = -1;
    mutable int plainBlockFormat = -1;
};

#endif // LOGLAYOUT_H
