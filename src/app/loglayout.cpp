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

// How far a line of `text` moves the next one down, and how far it reaches.
std::pair<qint64, qint64> lineOf(const QString &text, const QFont &font, QPaintDevice *device)
{
    QTextLayout probe(text, font, device);
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLeadingIncluded(true);
    line.setLineWidth(1e6);
    probe.endLayout();
    return {lineStep(line), lineBottom(line)};
}

// As Qt turns a font's bearings into its fixed point: truncated.
qint64 truncatedFixed(qreal value)
{
    return qint64(value * 64);
}

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

} // namespace

LogLayout::LogLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document)
{ }

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
// if every such character has the same line height (no fallback font taller than the rest);
// and what Qt's line breaking weighs besides advances: the bearings that reach past them.
void LogLayout::calibrate() const
{
    calibrated = true;
    calibratedFont = document()->defaultFont();
    calibratedOption = document()->defaultTextOption();
    QString ascii;
    for (ushort u = 0x20; u < 0x7f; ++u)
        ascii.append(QChar(u));
    const auto [step, bottom] = lineOf(QStringLiteral("0"), calibratedFont, paintDevice());
    lineStepHeight = step;
    lineHeight = std::max(step, bottom);
    const bool unspaced = calibratedFont.letterSpacing() == 0 && calibratedFont.wordSpacing() == 0;
    oneLineKnown = lineHeight > 0
        && lineOf(ascii, calibratedFont, paintDevice()) == std::pair(step, bottom) && unspaced
        && calibratedOption.tabs().isEmpty()
        && !(calibratedOption.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators);
    wrapsKnown = oneLineKnown && calibratedOption.flags() == QTextOption::Flags()
        && (calibratedOption.wrapMode() == QTextOption::WordWrap
            || calibratedOption.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QFontMetricsF metrics = paintDevice() ? QFontMetricsF(calibratedFont, paintDevice())
                                                : QFontMetricsF(calibratedFont);
    for (int i = 0; i < int(advances.size()); ++i) {
        advances[std::size_t(i)] = fixed(metrics.horizontalAdvance(ascii.at(i)));
        overhangs[std::size_t(i)]
            = -std::min<Fixed>(truncatedFixed(metrics.rightBearing(ascii.at(i))), 0);
    }
    widestOverhang = -std::min<Fixed>(truncatedFixed(metrics.minRightBearing()), 0);
    Fixed widestDigit = 0;
    for (const QChar digit : QLatin1String("0123456789ABCDEF"))
        widestDigit = std::max(widestDigit, advance(digit));
    widestPair = 2 * widestDigit;
}

// Whether the paragraph and all its text are in the document's own formats, which its
// text alone then measures.
bool LogLayout::hasPlainFormats(const QTextBlock &block) const
{
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
    return true;
}

// Only printable ASCII whose advances leave a pixel a character to spare: kerning moves
// glyphs by far less.
bool LogLayout::fitsOneLine(QStringView text) const
{
    if (text.isEmpty() || laidOutFrame.width <= 0)
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

LogLayout::Fixed LogLayout::advance(QChar c) const
{
    return advances[c.unicode() - 0x20];
}

// A line of hex as the log shows it wraps where Qt's line breaking wraps it: between byte
// pairs, as soon as the next pair and the space before it, with the part of its last glyph
// that reaches past its advance, would not fit. Without shaping a word is as wide as its
// characters' advances. Only where the marker and one pair surely fit a line, so that no
// line breaks inside a word; 0 lines for any other text.
int LogLayout::hexLineCount(QStringView text) const
{
    if (!wrapsKnown || text.size() < 6
        || (!text.startsWith(QLatin1String("--> ")) && !text.startsWith(QLatin1String("<-- "))))
        return 0;
    const Fixed width = laidOutFrame.width;
    const Fixed space = advance(QLatin1Char(' '));
    const Fixed marker = advance(text[0]) + advance(text[1]) + advance(text[2]);
    if (marker + space + widestPair + widestOverhang > width)
        return 0;
    int lines = 1;
    Fixed used = marker;
    for (qsizetype i = 3; i < text.size(); i += 3) {
        if (i + 3 > text.size() || text[i] != QLatin1Char(' ') || !isHexDigit(text[i + 1])
            || !isHexDigit(text[i + 2]))
            return 0;
        const Fixed pair = advance(text[i + 1]) + advance(text[i + 2]);
        const Fixed extended = used + space + pair;
        // Qt looks at the last glyph's bearing only near the edge.
        if (extended + widestOverhang > width
            && extended + overhangs[text[i + 2].unicode() - 0x20] > width) {
            ++lines;
            used = pair;
        } else {
            used = extended;
        }
    }
    return lines;
}

// The height of a paragraph in the document's own formats from its text alone, or 0.
LogLayout::Fixed LogLayout::heightOf(QStringView text) const
{
    if (fitsOneLine(text))
        return lineHeight;
    const int lines = hexLineCount(text);
    return lines > 0 ? (lines - 1) * lineStepHeight + lineHeight : 0;
}

LogLayout::Fixed LogLayout::measure(const QTextBlock &block) const
{
    if (!block.isVisible())
        return 0;
    if (laidOutFrame.width > 0 && hasPlainFormats(block)) {
        if (const Fixed height = heightOf(block.text()))
            return height;
    }
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

void LogLayout::expectAppended(const QString &text)
{
    expected = text;
}

// The paragraphs expected are the last ones: as many as were added, or all but the first if
// that went into the paragraph that ended the document. The last one tells their formats.
int LogLayout::expectedParagraphs(int charsAdded, int blocksAdded, qsizetype breaks) const
{
    if (expected.isEmpty() || blocksAdded < 1
        || (blocksAdded != breaks + 1 && blocksAdded != breaks)
        || charsAdded != expected.size() - breaks + blocksAdded)
        return 0;
    const QTextBlock last = document()->lastBlock();
    const QStringView lastParagraph
        = QStringView(expected).mid(expected.lastIndexOf(QLatin1Char('\n')) + 1);
    if (!hasPlainFormats(last) || last.text() != lastParagraph)
        return 0;
    return blocksAdded;
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
    const qsizetype breaks = expected.count(QLatin1Char('\n'));
    const int appended = lastNumber == count - 1
        ? std::min(expectedParagraphs(charsAdded, count - int(bottoms.size()), breaks),
            lastNumber - firstNumber)
        : 0;

    const Fixed oldEnd = oldLastNumber >= 0 ? bottoms[std::size_t(oldLastNumber)] : now.top;
    std::vector<Fixed> tail(bottoms.begin() + (oldLastNumber + 1), bottoms.end());
    std::vector<bool> tailLaidOut(laidOut.begin() + (oldLastNumber + 1), laidOut.end());
    bottoms.resize(std::size_t(firstNumber));
    laidOut.resize(std::size_t(lastNumber) + 1, false);
    std::fill(laidOut.begin() + firstNumber, laidOut.end(), false);
    laidOut.insert(laidOut.end(), tailLaidOut.begin(), tailLaidOut.end());

    Fixed y = topOf(firstNumber);
    QTextBlock block = doc->findBlockByNumber(firstNumber);
    for (int number = firstNumber; number <= lastNumber - appended && block.isValid(); ++number) {
        block.clearLayout();
        y += measure(block);
        bottoms.push_back(y);
        block = block.next();
    }
    const QStringView text(expected);
    qsizetype start = 0;
    for (qsizetype skip = appended > 0 ? breaks + 1 - appended : 0; skip > 0; --skip)
        start = text.indexOf(QLatin1Char('\n'), start) + 1;
    for (int i = 0; i < appended; ++i) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const Fixed height = heightOf(text.mid(start, end - start));
        y += height > 0 ? height : measure(doc->findBlockByNumber(int(bottoms.size())));
        bottoms.push_back(y);
        start = end + 1;
    }
    expected.clear();
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
        // Laid out to be drawn, a paragraph keeps its shaped glyphs for the drawing, which
        // then lets them go; Qt's layout shapes it twice.
        QTextLayout *layout = block.layout();
        layout->setCacheEnabled(true);
        layoutAt(block, topOf(number));
        layout->setCacheEnabled(false);
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
            layout->drawCursor(
                painter, QPointF(), layout->preeditAreaPosition() - (cursor + 2), cursorWidth);
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
    const Fixed height
        = (bottoms.empty() ? laidOutFrame.top : bottoms.back()) + laidOutFrame.bottom;
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
