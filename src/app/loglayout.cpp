// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "loglayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>
#include <climits>

namespace {

qint64 fixed(qreal value)
{
    return qRound64(value * 64);
}

qreal real(qint64 value)
{
    return qreal(value) / 64;
}

// Qt's layout moves down by the line's height rounded up, and leaves room below the last line
// for its height with the leading included.
qint64 lineStep(const QTextLine &line)
{
    return fixed(qCeil(line.ascent() + line.descent() + line.leading()));
}

qint64 lineBottom(const QTextLine &line)
{
    return fixed(line.height());
}

// The height of a paragraph that is one line of `text`.
qint64 lineHeightOf(const QString &text, const QFont &font, QPaintDevice *device)
{
    QTextLayout probe(text, font, device);
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLeadingIncluded(true);
    line.setLineWidth(1e6);
    probe.endLayout();
    return std::max(lineStep(line), lineBottom(line));
}

} // namespace

LogLayout::LogLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document)
{
}

LogLayout::Frame LogLayout::frame() const
{
    const QTextFrameFormat format = document()->rootFrame()->frameFormat();
    const Fixed inset = fixed(format.border()) + fixed(format.padding());
    Frame frame;
    frame.left = fixed(format.leftMargin()) + inset;
    frame.top = fixed(format.topMargin()) + inset;
    frame.right = fixed(format.rightMargin()) + inset;
    frame.bottom = fixed(format.bottomMargin()) + inset;
    frame.pageWidth = fixed(std::max(qreal(0), document()->pageSize().width()));
    frame.width = frame.pageWidth - frame.left - frame.right;
    return frame;
}

// The advances of printable ASCII in the document's font, and the height of a line of it,
// if every such character has the same line height (no fallback font taller than the rest).
void LogLayout::calibrate() const
{
    calibrated = true;
    calibratedFont = document()->defaultFont();
    calibratedOption = document()->defaultTextOption();
    QString ascii;
    for (ushort u = 0x20; u < 0x7f; ++u)
        ascii.append(QChar(u));
    lineHeight = lineHeightOf(QStringLiteral("0"), calibratedFont, paintDevice());
    oneLineKnown = lineHeight > 0
        && lineHeightOf(ascii, calibratedFont, paintDevice()) == lineHeight
        && calibratedOption.tabs().isEmpty()
        && !(calibratedOption.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators);
    const QFontMetricsF metrics = paintDevice() ? QFontMetricsF(calibratedFont, paintDevice())
                                                : QFontMetricsF(calibratedFont);
    for (int i = 0; i < int(advances.size()); ++i)
        advances[std::size_t(i)] = fixed(metrics.horizontalAdvance(ascii.at(i)));
}

// Only a paragraph in the document's own formats, of printable ASCII, whose advances leave
// a pixel a character to spare: kerning moves glyphs by far less.
bool LogLayout::fitsOneLine(const QTextBlock &block) const
{
    if (laidOutFrame.width <= 0)
        return false;
    if (block.blockFormatIndex() != plainBlockFormat) {
        if (!block.blockFormat().properties().isEmpty())
            return false;
        plainBlockFormat = block.blockFormatIndex();
    }
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.charFormatIndex() != plainCharFormat) {
            if (!fragment.charFormat().properties().isEmpty())
                return false;
            plainCharFormat = fragment.charFormatIndex();
        }
    }
    const QString text = block.text();
    if (text.isEmpty())
        return false;
    if (!calibrated)
        calibrate();
    if (!oneLineKnown)
        return false;
    Fixed width = fixed(2);
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || u >= 0x7f)
            return false;
        width += advances[u - 0x20] + 64;
    }
    return width <= laidOutFrame.width;
}

LogLayout::Fixed LogLayout::measure(const QTextBlock &block) const
{
    if (!block.isVisible())
        return 0;
    if (fitsOneLine(block))
        return lineHeight;
    laidOut[std::size_t(block.blockNumber())] = true;
    return layOut(block, block.layout());
}

// As Qt's document layout sets a paragraph in the root frame: each line as wide as the frame
// allows, leading included; a line that cannot fit is broken anywhere, as there.
LogLayout::Fixed LogLayout::layOut(const QTextBlock &block, QTextLayout *layout) const
{
    const QTextBlockFormat format = block.blockFormat();
    const Qt::LayoutDirection direction = block.textDirection();
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(direction);
    option.setTabs(format.tabPositions());
    Qt::Alignment alignment = option.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        alignment = format.alignment();
    option.setAlignment(QStyle::visualAlignment(direction, alignment));
    if (format.nonBreakableLines() || document()->pageSize().width() < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    layout->setTextOption(option);
    const bool wordOrAnywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

    const Fixed width = laidOutFrame.width;
    Fixed y = 0;
    Fixed bottom = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(real(width));
        if (fixed(line.naturalTextWidth()) > width) {
            if (wordOrAnywhere) {
                option.setWrapMode(QTextOption::WrapAnywhere);
                layout->setTextOption(option);
            }
            line.setLineWidth(std::max(line.naturalTextWidth(), real(width)));
            if (wordOrAnywhere) {
                option.setWrapMode(QTextOption::WordWrap);
                layout->setTextOption(option);
            }
        }
        line.setPosition(QPointF(0, real(y)));
        bottom = y + lineBottom(line);
        y += lineStep(line);
    }
    layout->endLayout();
    return std::max(y, bottom);
}

LogLayout::Fixed LogLayout::topOf(int blockNumber) const
{
    return blockNumber > 0 ? bottoms[std::size_t(blockNumber) - 1] : laidOutFrame.top;
}

// The first paragraph that reaches down to `y`, or the last one.
int LogLayout::blockNumberAt(Fixed y) const
{
    const auto it = std::lower_bound(bottoms.begin(), bottoms.end(), y);
    return int(std::min<std::ptrdiff_t>(it - bottoms.begin(), std::ptrdiff_t(bottoms.size()) - 1));
}

// A paragraph measured by its advances is laid out for real once it is shown; were that to
// come out taller, everything below moves down, as it would have been laid out to begin with.
QTextLayout *LogLayout::layoutAt(const QTextBlock &block, Fixed top) const
{
    QTextLayout *layout = block.layout();
    const std::size_t number = std::size_t(block.blockNumber());
    if (!laidOut[number] || layout->lineCount() == 0) {
        const Fixed height = block.isVisible() ? layOut(block, layout) : 0;
        laidOut[number] = true;
        const Fixed drift = height - (bottoms[number] - top);
        if (drift != 0) {
            const QSizeF before = documentSize();
            for (std::size_t i = number; i < bottoms.size(); ++i)
                bottoms[i] += drift;
            sizeMayHaveChanged(before);
        }
    }
    layout->setPosition(QPointF(real(laidOutFrame.left), real(top)));
    return layout;
}

void LogLayout::sizeMayHaveChanged(const QSizeF &before) const
{
    const QSizeF after = documentSize();
    if (after != before)
        emit const_cast<LogLayout *>(this)->documentSizeChanged(after);
}

// Qt tells where the text changed, not which paragraphs came or went; the count of paragraphs
// before and after tells that. The paragraphs below the change keep their heights.
void LogLayout::documentChanged(int from, int /*charsRemoved*/, int charsAdded)
{
    QTextDocument *doc = document();
    const QSizeF before = documentSize();
    if (calibrated
        && (doc->defaultFont() != calibratedFont
            || doc->defaultTextOption().tabs() != calibratedOption.tabs()
            || doc->defaultTextOption().flags() != calibratedOption.flags()
            || doc->defaultTextOption().wrapMode() != calibratedOption.wrapMode()))
        calibrated = false;

    if (from == 0) {
        plainCharFormat = -1;
        plainBlockFormat = -1;
    }

    const Frame now = frame();
    const int count = doc->blockCount();
    QTextBlock first = doc->findBlock(from);
    QTextBlock last = doc->findBlock(from + charsAdded);
    int firstNumber = first.isValid() ? first.blockNumber() : 0;
    int lastNumber = last.isValid() ? last.blockNumber() : count - 1;
    int oldLastNumber = lastNumber - (count - int(bottoms.size()));
    const bool frameChanged = now.width != laidOutFrame.width || now.top != laidOutFrame.top
        || now.left != laidOutFrame.left || now.bottom != laidOutFrame.bottom
        || now.pageWidth != laidOutFrame.pageWidth;
    if (frameChanged || bottoms.empty() || oldLastNumber < firstNumber - 1
        || oldLastNumber >= int(bottoms.size())) {
        firstNumber = 0;
        lastNumber = count - 1;
        oldLastNumber = int(bottoms.size()) - 1;
    }
    laidOutFrame = now;

    const Fixed oldEnd = oldLastNumber >= 0 ? bottoms[std::size_t(oldLastNumber)] : now.top;
    std::vector<Fixed> tail(bottoms.begin() + (oldLastNumber + 1), bottoms.end());
    std::vector<bool> tailLaidOut(laidOut.begin() + (oldLastNumber + 1), laidOut.end());
    bottoms.resize(std::size_t(firstNumber));
    laidOut.resize(std::size_t(lastNumber) + 1, false);
    std::fill(laidOut.begin() + firstNumber, laidOut.end(), false);
    laidOut.insert(laidOut.end(), tailLaidOut.begin(), tailLaidOut.end());

    Fixed y = topOf(firstNumber);
    QTextBlock block = doc->findBlockByNumber(firstNumber);
    for (int number = firstNumber; number <= lastNumber && block.isValid(); ++number) {
        block.clearLayout();
        y += measure(block);
        bottoms.push_back(y);
        block = block.next();
    }
    const Fixed shift = y - oldEnd;
    for (const Fixed bottom : tail)
        bottoms.push_back(bottom + shift);

    sizeMayHaveChanged(before);
    emit update(QRectF(0, real(topOf(firstNumber)), qreal(INT_MAX), qreal(INT_MAX)));
}

void LogLayout::draw(QPainter *painter, const PaintContext &context)
{
    if (bottoms.empty())
        return;
    const QRectF frameRect(QPointF(), documentSize());
    const QRectF clipRect
        = frameRect.adjusted(real(laidOutFrame.left), 0, -real(laidOutFrame.right), 0);
    const QRectF clip = context.clip.isValid() ? (context.clip & clipRect) : clipRect;
    const int firstNumber = context.clip.isValid() ? blockNumberAt(fixed(context.clip.top())) : 0;
    const int lastNumber = context.clip.isValid() ? blockNumberAt(fixed(context.clip.bottom()))
                                                  : int(bottoms.size()) - 1;

    QTextBlock block = document()->findBlockByNumber(firstNumber);
    for (int number = firstNumber; number <= lastNumber && block.isValid();
         ++number, block = block.next()) {
        if (!block.isVisible())
            continue;
        QTextLayout *layout = layoutAt(block, topOf(number));
        const int start = block.position();
        const int length = block.length();
        QVector<QTextLayout::FormatRange> selections;
        for (const Selection &selection : context.selections) {
            const int selectionStart = selection.cursor.selectionStart() - start;
            const int selectionEnd = selection.cursor.selectionEnd() - start;
            if (selectionStart < length && selectionEnd > 0 && selectionEnd > selectionStart) {
                QTextLayout::FormatRange range;
                range.start = selectionStart;
                range.length = selectionEnd - selectionStart;
                range.format = selection.format;
                selections.append(range);
            } else if (!selection.cursor.hasSelection()
                && selection.format.hasProperty(QTextFormat::FullWidthSelection)
                && block.contains(selection.cursor.position())) {
                const QTextLine line
                    = layout->lineForTextPosition(selection.cursor.position() - start);
                QTextLayout::FormatRange range;
                range.start = line.textStart();
                range.length = line.textLength();
                if (range.start + range.length == length - 1)
                    ++range.length;
                range.format = selection.format;
                selections.append(range);
            }
        }
        const QPen pen = painter->pen();
        painter->setPen(context.palette.color(QPalette::Text));
        layout->draw(painter, QPointF(), selections, clip);
        int cursor = context.cursorPosition;
        if (cursor < -1 && !layout->preeditAreaText().isEmpty())
            layout->drawCursor(painter, QPointF(), layout->preeditAreaPosition() - (cursor + 2),
                cursorWidth);
        else if (cursor >= start && cursor < start + length)
            layout->drawCursor(painter, QPointF(), cursor - start, cursorWidth);
        painter->setPen(pen);
    }
}

int LogLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    if (bottoms.empty())
        return accuracy == Qt::ExactHit ? -1 : 0;
    const Fixed y = fixed(point.y());
    const int lastPosition = document()->rootFrame()->lastPosition();
    if (y < laidOutFrame.top)
        return accuracy == Qt::ExactHit ? -1 : 0;
    if (y > bottoms.back())
        return accuracy == Qt::ExactHit ? -1 : lastPosition;

    const int number = blockNumberAt(y);
    const QTextBlock block = document()->findBlockByNumber(number);
    const QTextLayout *layout = layoutAt(block, topOf(number));
    const QPointF inLayout = QPointF(real(fixed(point.x())), real(y)) - layout->position();
    bool exact = false;
    int offset = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QRectF rect = line.naturalTextRect();
        if (rect.top() > inLayout.y()) {
            offset = std::min(offset, line.textStart());
        } else if (rect.bottom() <= inLayout.y()) {
            offset = std::max(offset, line.textStart() + line.textLength());
        } else {
            exact = rect.left() <= inLayout.x() && rect.right() >= inLayout.x();
            offset = line.xToCursor(inLayout.x(),
                accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter
                                         : QTextLine::CursorBetweenCharacters);
            break;
        }
    }
    if (accuracy == Qt::ExactHit && !exact)
        return -1;
    return std::clamp(block.position() + offset, 0, lastPosition);
}

int LogLayout::pageCount() const
{
    const qreal pageHeight = document()->pageSize().height();
    return pageHeight < 0 ? 1 : qCeil(documentSize().height() / pageHeight);
}

QSizeF LogLayout::documentSize() const
{
    const Fixed height = (bottoms.empty() ? laidOutFrame.top : bottoms.back()) + laidOutFrame.bottom;
    return QSizeF(real(laidOutFrame.pageWidth), real(height));
}

QRectF LogLayout::frameBoundingRect(QTextFrame *frame) const
{
    return frame == document()->rootFrame() ? QRectF(QPointF(), documentSize()) : QRectF();
}

QRectF LogLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (document()->pageSize().isNull() || !block.isValid() || !block.isVisible()
        || std::size_t(block.blockNumber()) >= bottoms.size())
        return QRectF();
    const QTextLayout *layout = layoutAt(block, topOf(block.blockNumber()));
    QRectF rect = layout->boundingRect();
    rect.moveTopLeft(layout->position());
    return rect;
}
