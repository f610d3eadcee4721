// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef LOGLAYOUT_H
#define LOGLAYOUT_H

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QString>
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

    // The text the next change appends at the end, its paragraphs separated by '\n', in the
    // formats of the paragraph it follows: its paragraphs are measured from it rather than read
    // back from the document, which costs more than measuring them. A change that turns out
    // otherwise is measured as any other.
    void expectAppended(const QString &text);

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
    // The height of `block`, from its characters where they tell it, else laid out.
    Fixed measure(const QTextBlock &block) const;
    bool hasPlainFormats(const QTextBlock &block) const;
    Fixed heightOf(QStringView text) const;
    bool fitsOneLine(QStringView text) const;
    int hexLineCount(QStringView text) const;
    Fixed advance(QChar c) const;
    // How many of the paragraphs at the end of the document are the last ones expected, of
    // the expected text's `breaks` + 1.
    int expectedParagraphs(int charsAdded, int blocksAdded, qsizetype breaks) const;
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
    mutable bool wrapsKnown = false;
    mutable Fixed lineHeight = 0;
    mutable Fixed lineStepHeight = 0;
    mutable std::array<Fixed, 0x7f - 0x20> advances {};
    // How far each glyph reaches past its advance, and the farthest any glyph of the font does.
    mutable std::array<Fixed, 0x7f - 0x20> overhangs {};
    mutable Fixed widestOverhang = 0;
    mutable Fixed widestPair = 0; // of hex digits
    int cursorWidth = 1;
    QString expected;
    // Formats known to be the document's own, by index; clearing the document renumbers them.
    mutable int plainCharFormat = -1;
    mutable int plainBlockFormat = -1;
};

#endif // LOGLAYOUT_H
