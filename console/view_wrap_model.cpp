#include "console/view_wrap_model.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <string_view>
#include <optional>

namespace {

// Line-break rules look a little behind the line they break.
constexpr qsizetype kContext = 32;
// The paragraph text kept before the current line is cut back once it grows past this.
constexpr qsizetype kTrimAt = 4096;

// As the layout turns pixels into its 1/64 fixed point: by truncation.
int64_t Fixed(qreal pixels) { return int64_t(pixels * 64.0); }

int64_t LineWidthFixed(qreal lineWidth) { return Fixed(std::clamp(lineWidth, qreal(0), ViewWrapModel::kNoWrap)); }

int64_t TabStopFixed(qreal tabStop) { return Fixed(tabStop > 0 ? tabStop : 80); }

bool IsParagraphEnd(char16_t c)
{
    // What a text cursor turns into a new block when the text is inserted.
    return c == u'\n' || c == u'\r' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

// The script a layout item is split by: marks and characters of no script count as common.
int ScriptOf(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
        category == QChar::Mark_Enclosing)
        return QChar::Script_Common;
    const QChar::Script script = QChar::script(c);
    return script > QChar::Script_Common ? int(script) : int(QChar::Script_Common);
}

// Printable ASCII the line-break rules class as letters or numbers: no opportunity between
// two of them.
bool IsAsciiWordChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           (c != 0 && std::u16string_view(u"#&*<=>@^_`~").find(c) != std::u16string_view::npos);
}

bool IsSimple(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

}  // namespace

struct ViewWrapModel::Metrics {
    explicit Metrics(const QFont& f)
        : font(f), minOverhang(-std::min<int64_t>(0, Fixed(QFontMetricsF(f).minRightBearing())))
    {
    }
    QFont font;
    int64_t minOverhang;  // the font's largest overhang: below it no glyph is measured
    std::array<std::unique_ptr<std::array<CharInfo, 256>>, 256> pages;
    std::unordered_map<char32_t, CharInfo> pairs;
};

QFont ViewWrapModel::ViewFont(QFont font)
{
    font.setKerning(false);
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

void ViewWrapModel::SetLayout(const QFont& font, qreal lineWidth, qreal tabStop)
{
    if (!metrics_ || !(metrics_->font == font)) {
        metrics_ = std::make_shared<Metrics>(font);
        ascii_ = nullptr;
        for (char16_t c = 0; c < 0x80; ++c)
            MeasuredInfo(c);
        ascii_ = metrics_->pages[0]->data();
    }
    lineWidth_ = LineWidthFixed(lineWidth);
    minOverhang_ = metrics_->minOverhang;
    tabStop_ = TabStopFixed(tabStop);
    Clear();
}

bool ViewWrapModel::HasLayout(const QFont& font, qreal lineWidth, qreal tabStop) const
{
    return metrics_ && metrics_->font == font && lineWidth_ == LineWidthFixed(lineWidth) &&
           tabStop_ == TabStopFixed(tabStop);
}

ViewWrapModel::CharInfo ViewWrapModel::Measure(QStringView text) const
{
    QTextLayout layout(text.toString(), metrics_->font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(100000);
    layout.endLayout();
    CharInfo info;
    info.advance = int32_t(qRound(line.horizontalAdvance() * 64));
    info.overhang = std::max(0, int32_t(qRound(line.naturalTextWidth() * 64)) - info.advance);
    return info;
}

const ViewWrapModel::CharInfo& ViewWrapModel::MeasuredInfo(char16_t c)
{
    std::unique_ptr<std::array<CharInfo, 256>>& page = metrics_->pages[c >> 8];
    if (!page)
        page = std::make_unique<std::array<CharInfo, 256>>();
    CharInfo& info = (*page)[c & 0xFF];
    if (info.flags & kKnown)
        return info;
    if (c == u'\t' || c == 0x2028 || QChar::isSurrogate(c)) {
        info.flags = kKnown | kSpecial;
        info.script = uint8_t(ScriptOf(c));
        return info;
    }
    info = Measure(QStringView(&c, 1));
    info.flags = kKnown;
    info.script = uint8_t(ScriptOf(c));
    // White space the layout breaks after; a no-break space is an ordinary character.
    if (QChar::isSpace(c) && QChar::decompositionTag(c) != QChar::NoBreak)
        info.flags |= kSpace;
    else if (IsSimple(c))
        info.flags |= kSimple;
    return info;
}

const ViewWrapModel::CharInfo& ViewWrapModel::PairInfo(char16_t high, char16_t low)
{
    const char32_t ucs4 = QChar::surrogateToUcs4(high, low);
    auto found = metrics_->pairs.find(ucs4);
    if (found != metrics_->pairs.end())
        return found->second;
    const char16_t pair[2] = {high, low};
    CharInfo info = Measure(QStringView(pair, 2));
    info.flags = kKnown;
    if (QChar::isSpace(ucs4) && QChar::decompositionTag(ucs4) != QChar::NoBreak)
        info.flags |= kSpace;
    return metrics_->pairs.emplace(ucs4, info).first->second;
}

const ViewWrapModel::CharInfo& ViewWrapModel::InfoAt(qsizetype pos)
{
    static const CharInfo kNothing{0, 0, kKnown};
    const char16_t c = At(pos);
    if (QChar::isLowSurrogate(c) && pos > base_ && QChar::isHighSurrogate(At(pos - 1)))
        return PairInfo(At(pos - 1), c);
    if (QChar::isSurrogate(c))
        return kNothing;  // the pair's advance sits on its second half
    return Info(c);
}

bool ViewWrapModel::IsSpaceAt(qsizetype pos)
{
    const char16_t c = At(pos);
    return !QChar::isSurrogate(c) && (Info(c).flags & kSpace);
}

bool ViewWrapModel::IsBreakSpaceAt(qsizetype pos) { return At(pos) == u'\t' || IsSpaceAt(pos); }

void ViewWrapModel::Clear()
{
    linesBefore_ = 0;
    EndParagraph();
    linesBefore_ = 0;
}

void ViewWrapModel::EndParagraph()
{
    linesBefore_ += paraLines_ + 1 + endExtra_;
    paraLines_ = 0;
    endExtra_ = 0;
    para_.clear();
    base_ = 0;
    itemBreaks_.clear();
    scriptRuns_.clear();
    starts_.assign(1, LineStart{0, false, false});
    ResetLine(0);
}

void ViewWrapModel::NewLine(qsizetype at, bool opportunity, bool recheck)
{
    ++paraLines_;
    starts_.push_back(LineStart{at, opportunity, recheck});
    anyRecheck_ = anyRecheck_ || recheck;
    if (starts_.size() > 64)
        starts_.erase(starts_.begin(), starts_.end() - 8);
    ResetLine(at);
    // The text before the previous line is not needed again, except a little for the
    // line-break rules.
    const qsizetype keep = starts_[starts_.size() - 2].at - kContext;
    if (keep - base_ > kTrimAt) {
        para_.erase(0, size_t(keep - base_));
        base_ = keep;
        itemBreaks_.erase(itemBreaks_.begin(), std::lower_bound(itemBreaks_.begin(), itemBreaks_.end(), base_));
        scriptRuns_.erase(scriptRuns_.begin(), std::find_if(scriptRuns_.begin(), scriptRuns_.end(),
                                                            [&](const ScriptRun& r) { return r.last >= base_; }));
    }
}

void ViewWrapModel::ResetLine(qsizetype at)
{
    lineStart_ = at;
    wordStart_ = at;
    firstSolid_ = -1;
    width_ = 0;
    committedWidth_ = 0;
    lastOverhang_ = 0;
    spaceRun_ = 0;
    afterSpace_ = false;
    simple_ = true;
    breakPending_ = false;
    pendingAt_ = -1;
}

// Line starts the text can take back as it goes on: a line that started at an opportunity
// between two characters of a number-like sequence loses it when the sequence goes on as a
// number (the rules keep numbers whole); a line before which the layout looked at an
// overhang that depends on what follows may have to break anywhere after all.
int ViewWrapModel::TakenBackStart()
{
    if (anyRecheck_) {
        // Lay those lines out again from the line before (they are few and short-lived: the
        // overhang is settled once the word's item has enough glyphs).
        anyRecheck_ = false;
        for (size_t i = 1; i < starts_.size(); ++i) {
            if (starts_[i].recheck && starts_[i - 1].at >= base_)
                return int(i);
        }
    }
    const LineStart& start = starts_.back();
    if (!start.opportunity || start.at <= base_ || starts_.size() < 2)
        return -1;
    if (QChar::isLetter(At(start.at - 1)) && QChar::isLetter(At(start.at)))
        return -1;
    // White space after the start ends any number the start could belong to: the rules that
    // look ahead of an opportunity never look past it.
    if (lineStart_ == start.at && wordStart_ > start.at)
        return -1;
    const qsizetype from = std::max(base_, start.at - kContext);
    QTextBoundaryFinder finder = LineFinderFrom(from);
    finder.setPosition(start.at - from);
    return finder.isAtBoundary() ? -1 : int(starts_.size() - 1);
}

void ViewWrapModel::Append(QStringView text)
{
    for (QChar c : text)
        Append(c);
}

void ViewWrapModel::Append(QChar c)
{
    if (IsParagraphEnd(c.unicode())) {
        EndParagraph();
        return;
    }
    if (breakPending_)
        NewLine(End());
    para_.push_back(c.unicode());
    qsizetype pos = End() - 1;
    if (QChar::isHighSurrogate(c.unicode()))
        return;  // the character is complete with its second half
    if (QChar::isLowSurrogate(c.unicode()) && pos > base_ && QChar::isHighSurrogate(At(pos - 1)))
        --pos;
    NoteItem(pos);
    if (const int taken = TakenBackStart(); taken > 0) {
        // Those lines start there no more: the line before takes the text again.
        paraLines_ -= int(starts_.size()) - taken;
        starts_.resize(size_t(taken));
        const qsizetype previous = starts_.back().at;
        ResetLine(previous);
        Run(previous);
    } else if (pendingAt_ >= 0 && !ContinuesWord(pos)) {
        // The word before ends here after all: its line breaks as its check said.
        const qsizetype at = pendingAt_;
        NewLine(at, pendingOpportunity_, pendingRecheck_);
        Run(at);
    } else {
        pendingAt_ = -1;
        Run(pos);
    }
    endExtra_ = EvaluateEnd();
}

void ViewWrapModel::Run(qsizetype pos)
{
    while (pos < End()) {
        restartOpportunity_ = false;
        restartRecheck_ = false;
        const qsizetype restart = Step(pos);
        if (restart < 0) {
            ++pos;
        } else {
            NewLine(restart, restartOpportunity_, restartRecheck_);
            pos = restart;
        }
    }
}

qsizetype ViewWrapModel::Step(qsizetype pos)
{
    static const CharInfo kNothing{0, 0, kKnown};
    const char16_t c = At(pos);
    if (c == u'\t')
        return StepTab(pos);
    if (c == 0x2028)
        return StepSeparator(pos);
    if (QChar::isLowSurrogate(c) && pos > lineStart_ && QChar::isHighSurrogate(At(pos - 1)))
        return StepSolid(pos, PairInfo(At(pos - 1), c), false);  // the pair's advance, on its second half
    if (QChar::isSurrogate(c))
        return StepSolid(pos, kNothing, true);
    const CharInfo& info = Info(c);
    if (info.flags & kSpace) {
        width_ += info.advance;
        spaceRun_ += info.advance;
        afterSpace_ = true;
        return -1;
    }
    return StepSolid(pos, info, true);
}

qsizetype ViewWrapModel::StepSolid(qsizetype pos, const CharInfo& info, bool startsWord)
{
    if (afterSpace_ && startsWord) {
        afterSpace_ = false;
        wordStart_ = pos;
        const bool wide = spaceRun_ > lineWidth_;
        spaceRun_ = 0;
        // White space wider than a whole line ends the line, whatever it holds.
        if (wide && pos > lineStart_)
            return pos;
    }
    if (firstSolid_ < 0)
        firstSolid_ = pos;
    if (!(info.flags & kSimple))
        simple_ = false;
    width_ += info.advance;
    committedWidth_ = width_;
    lastOverhang_ = info.overhang;
    // The word is checked as the layout checks a word that ends here; the glyph's overhang is
    // looked at only near the edge.
    if (width_ + minOverhang_ <= lineWidth_ || width_ + info.overhang <= lineWidth_)
        return -1;
    if (width_ <= lineWidth_) {
        // Only the overhang crosses the edge, and only a word's last glyph counts: nothing
        // happens while the word goes on, and at the end of the text it waits for the next
        // character.
        if (pos + 1 == End()) {
            pendingAt_ = Overflow(pos);
            pendingOpportunity_ = restartOpportunity_;
            pendingRecheck_ = restartRecheck_;
            restartOpportunity_ = false;
            restartRecheck_ = false;
            return -1;
        }
        if (ContinuesWord(pos + 1))
            return -1;
    }
    return Overflow(pos);
}

// The white space before pos is over; wider than a whole line, it ends the line, whatever
// the line holds.
bool ViewWrapModel::EndsAfterWideSpace(qsizetype pos)
{
    const bool wide = afterSpace_ && spaceRun_ > lineWidth_;
    afterSpace_ = false;
    spaceRun_ = 0;
    return wide && pos > lineStart_;
}

qsizetype ViewWrapModel::StepTab(qsizetype pos)
{
    if (EndsAfterWideSpace(pos))
        return pos;
    // The white space before the tab joins the line first, and may not fit.
    if (firstSolid_ >= 0 && width_ > lineWidth_)
        return pos;
    const bool lineHeldMore = pos > lineStart_;
    width_ += TabAdvance(width_);
    committedWidth_ = width_;
    if (firstSolid_ < 0)
        firstSolid_ = pos;
    simple_ = false;
    wordStart_ = pos + 1;
    // A tab that does not fit hangs at the end of its line; what follows starts a new one.
    if (lineHeldMore && width_ > lineWidth_) {
        if (pos + 1 < End())
            return pos + 1;
        breakPending_ = true;
    }
    return -1;
}

qsizetype ViewWrapModel::StepSeparator(qsizetype pos)
{
    if (EndsAfterWideSpace(pos))
        return pos;
    // The line ends here; it is checked with the overhang of its last word's last glyph.
    if (committedWidth_ + lastOverhang_ > lineWidth_) {
        const qsizetype at = AnywhereBreak(lineStart_, pos);
        if (at > lineStart_)
            return at;
    }
    return pos + 1;  // a new line starts after the separator, even at the end
}

// The word ending at pos does not fit.
qsizetype ViewWrapModel::Overflow(qsizetype pos)
{
    const qsizetype at = FindBreak(pos);
    if (at > lineStart_ && firstSolid_ >= 0 && firstSolid_ < at) {
        // The line ends before the word. The layout then checks the line with the overhang
        // of the glyph before the word, and breaks it anywhere when that is too wide.
        bool mayGrow = false;
        const int64_t overhang = OverhangBefore(at, &mayGrow);
        restartRecheck_ = mayGrow;
        if (WidthBetween(lineStart_, CommittedEnd(at)) + overhang > lineWidth_) {
            const qsizetype anywhere = AnywhereBreak(lineStart_, pos + 1);
            if (anywhere > lineStart_)
                return anywhere;
        }
        restartOpportunity_ = !IsBreakSpaceAt(at - 1);
        return at;
    }
    // The line's first word: it stays. Wider than the line, it breaks between characters;
    // if only its last glyph's overhang crosses the edge, that depends on how the line ends.
    if (width_ > lineWidth_) {
        const qsizetype anywhere = AnywhereBreak(lineStart_, pos + 1);
        if (anywhere > lineStart_)
            return anywhere;
    }
    return -1;
}

// The line-break opportunities of the paragraph from `from` to its end.
QTextBoundaryFinder ViewWrapModel::LineFinderFrom(qsizetype from)
{
    const qsizetype length = End() - from;
    finderBuffer_.resize(size_t(length) + 1);
    return QTextBoundaryFinder(QTextBoundaryFinder::Line, reinterpret_cast<const QChar*>(para_.data() + (from - base_)),
                               length, finderBuffer_.data(), qsizetype(finderBuffer_.size()));
}

bool ViewWrapModel::NoBreakBefore(qsizetype pos) const { return pos > base_ && KeptTogether(At(pos - 1), At(pos)); }

bool ViewWrapModel::KeptTogether(char16_t a, char16_t b)
{
    if (a < 0x21 || a > 0x7E || b < 0x21 || b > 0x7E)
        return false;
    if (IsAsciiWordChar(a) && IsAsciiWordChar(b))
        return true;
    // Never before a closing bracket, exclamation, infix separator, solidus, hyphen or bar;
    // never after an opening bracket; never on either side of a quotation mark.
    static constexpr std::u16string_view kNeverBefore = u")]}!?,.:;/-|";
    static constexpr std::u16string_view kNeverAfter = u"([{";
    static constexpr std::u16string_view kSigns = u"$+\\%";
    if (kNeverBefore.find(b) != kNeverBefore.npos || kNeverAfter.find(a) != kNeverAfter.npos || a == u'"' ||
        b == u'"' || a == u'\'' || b == u'\'')
        return true;
    // A letter or number keeps an opening bracket after it; a closing parenthesis or a sign
    // keeps the letter or number after it, an infix separator the letter (a number after one
    // may start anew); a number keeps its sign.
    static constexpr std::u16string_view kOpening = u"([{";
    static constexpr std::u16string_view kBeforeWord = u")]$+\\%";
    static constexpr std::u16string_view kInfix = u".,:;";
    const bool digitA = a >= u'0' && a <= u'9';
    const bool digitB = b >= u'0' && b <= u'9';
    return (IsAsciiWordChar(a) && kOpening.find(b) != kOpening.npos) ||
           (IsAsciiWordChar(b) && kBeforeWord.find(a) != kBeforeWord.npos) ||
           (IsAsciiWordChar(b) && !digitB && kInfix.find(a) != kInfix.npos) || (digitA && kSigns.find(b) != kSigns.npos);
}

// Whether the rules allow a break before q (no white space around it); the finder over the
// text from `from` is made the first time a pair needs it.
bool ViewWrapModel::OpportunityBefore(qsizetype q, qsizetype from, std::optional<QTextBoundaryFinder>& finder)
{
    if (NoBreakBefore(q))
        return false;
    if (!finder)
        finder.emplace(LineFinderFrom(from));
    finder->setPosition(q - from);
    return finder->isAtBoundary();
}

// The start of the word that ends at pos: the last break opportunity on the line, or the
// line's start when there is none.
qsizetype ViewWrapModel::FindBreak(qsizetype pos)
{
    if (simple_)
        return wordStart_;
    const qsizetype from = std::max(base_, lineStart_ - kContext);
    // The opportunities of the whole text as the layout sees it (they can change as the text
    // goes on: numbers are kept whole).
    std::optional<QTextBoundaryFinder> finder;
    for (qsizetype q = pos; q > lineStart_; --q) {
        if (IsBreakSpaceAt(q) || QChar::isLowSurrogate(At(q)) || At(q) == 0x2028)
            continue;
        if (IsBreakSpaceAt(q - 1))
            return q;
        if (OpportunityBefore(q, from, finder))
            return q;
    }
    return lineStart_;
}

// The line from `from` laid out grapheme by grapheme: the first one that does not fit
// starts the next line (the first always stays).
qsizetype ViewWrapModel::AnywhereBreak(qsizetype from, qsizetype end)
{
    std::optional<QTextBoundaryFinder> clusters;
    if (!simple_) {
        finderBuffer_.resize(size_t(end - from) + 1);
        clusters.emplace(QTextBoundaryFinder::Grapheme, reinterpret_cast<const QChar*>(para_.data() + (from - base_)),
                         end - from, finderBuffer_.data(), qsizetype(finderBuffer_.size()));
    }
    int64_t width = 0;
    bool committed = false;
    for (qsizetype g = from; g < end;) {
        qsizetype next = g + 1;
        if (clusters) {
            clusters->setPosition(g - from);
            const qsizetype boundary = clusters->toNextBoundary();
            next = boundary > 0 ? from + boundary : end;
        }
        bool space = true;
        for (qsizetype q = g; q < next; ++q) {
            if (At(q) == u'\t') {
                width += TabAdvance(width);
                space = false;
                continue;
            }
            const CharInfo& info = InfoAt(q);
            width += info.advance;
            if (!(info.flags & kSpace))
                space = false;
        }
        if (!space) {
            if (committed && width + minOverhang_ > lineWidth_ && width + InfoAt(next - 1).overhang > lineWidth_)
                return g;
            committed = true;
        }
        g = next;
    }
    return -1;
}

// The script a character starts a run of (the layout's items follow these runs), or
// QChar::Script_Common when it joins the run it is in (common characters, marks).
int ViewWrapModel::ScriptAt(qsizetype pos)
{
    const char16_t c = At(pos);
    if (!QChar::isSurrogate(c))
        return Info(c).script;
    if (QChar::isLowSurrogate(c) && pos > base_ && QChar::isHighSurrogate(At(pos - 1)))
        return QChar::Script_Common;  // the pair's script sits on its first half
    if (QChar::isHighSurrogate(c) && pos + 1 < End() && QChar::isLowSurrogate(At(pos + 1)))
        return ScriptOf(QChar::surrogateToUcs4(c, At(pos + 1)));
    return ScriptOf(c);
}

// Where the layout's item holding pos starts: items are runs of one script (common
// characters join the run they are in, or the first one), and every tab and line separator
// is an item of its own.
qsizetype ViewWrapModel::ItemStart(qsizetype pos)
{
    if (At(pos) == u'\t' || At(pos) == 0x2028)
        return pos;
    // After the last tab or separator (-1: not in the text kept).
    qsizetype floor = base_ == 0 ? 0 : -1;
    auto tab = std::lower_bound(itemBreaks_.begin(), itemBreaks_.end(), pos);
    if (tab != itemBreaks_.begin() && *(tab - 1) >= base_)
        floor = *(tab - 1) + 1;
    // The script run (tabs do not end one): it starts at a character whose script differs
    // from the script before it; common characters join the run they follow, or the first.
    // A run counts only when the script before it is still in the text kept.
    auto run = std::upper_bound(scriptRuns_.begin(), scriptRuns_.end(), pos,
                                [](qsizetype p, const ScriptRun& r) { return p < r.start; });
    if (run == scriptRuns_.begin() || run - 1 == scriptRuns_.begin() || (run - 2)->last < base_)
        return floor;
    return std::max((run - 1)->start, floor);
}

// Notes the character completed at pos for ItemStart.
void ViewWrapModel::NoteItem(qsizetype pos)
{
    const char16_t c = At(pos);
    if (c == u'\t' || c == 0x2028)
        itemBreaks_.push_back(pos);
    const int script = QChar::isSurrogate(c) ? ScriptAt(pos) : Info(c).script;
    if (script == QChar::Script_Common)
        return;
    if (scriptRuns_.empty() || scriptRuns_.back().script != script)
        scriptRuns_.push_back(ScriptRun{pos, pos, script});
    else
        scriptRuns_.back().last = pos;
}

int64_t ViewWrapModel::OverhangBefore(qsizetype at, bool* mayGrow)
{
    const qsizetype last = WordLast(at);
    *mayGrow = last + 1 == End();
    qsizetype part = ItemStart(last);
    if (part <= at) {
        if (ItemStart(at) != at)
            return IsBreakSpaceAt(at - 1) ? 0 : InfoAt(at - 1).overhang;
        part = at;
    }
    const qsizetype before = ItemStart(part - 1);
    int index = INT_MAX;  // when the item began before the text kept: more than any item holds
    if (before >= 0) {
        index = 0;
        for (qsizetype q = before; q < part - 1; ++q) {
            if (!(QChar::isLowSurrogate(At(q)) && q > before && QChar::isHighSurrogate(At(q - 1))))
                ++index;
        }
    }
    const int script = ScriptAt(part);
    for (qsizetype q = part; q < End(); ++q) {
        const char16_t c = At(q);
        const int other = ScriptAt(q);
        if (q > part && (c == u'\t' || c == 0x2028 ||
                         (other != QChar::Script_Common && script != QChar::Script_Common && other != script)))
            return InfoAt(last).overhang;  // the item ended without such a glyph
        if (QChar::isLowSurrogate(c) && q > part && QChar::isHighSurrogate(At(q - 1)))
            continue;
        if (index-- == 0) {
            if (QChar::isHighSurrogate(c) && q + 1 < End())
                return PairInfo(c, At(q + 1)).overhang;
            return IsBreakSpaceAt(q) ? 0 : InfoAt(q).overhang;
        }
    }
    *mayGrow = true;  // the item may yet grow to that many glyphs
    return InfoAt(last).overhang;
}

// The last character of the word that starts at `at`.
qsizetype ViewWrapModel::WordLast(qsizetype at)
{
    qsizetype last = at;
    while (last + 1 < End() && IsSimple(At(last + 1)) && IsSimple(At(last)))
        ++last;
    if (last + 1 == End() || IsBreakSpaceAt(last + 1) || At(last + 1) == 0x2028)
        return last;
    const qsizetype from = std::max(base_, at - kContext);
    std::optional<QTextBoundaryFinder> finder;
    for (qsizetype q = last + 1; q < End(); ++q) {
        const char16_t c = At(q);
        if (QChar::isLowSurrogate(c) && QChar::isHighSurrogate(At(q - 1)))
            continue;
        if (c == 0x2028 || IsBreakSpaceAt(q) || IsBreakSpaceAt(q - 1))
            return q - 1;
        if (OpportunityBefore(q, from, finder))
            return q - 1;
    }
    return End() - 1;
}

// The end of what the line before `at` holds when it ends there: trailing white space hangs.
qsizetype ViewWrapModel::CommittedEnd(qsizetype at)
{
    qsizetype end = at;
    while (end > base_ && IsSpaceAt(end - 1))
        --end;
    return end;
}

int64_t ViewWrapModel::WidthBetween(qsizetype from, qsizetype to)
{
    int64_t width = 0;
    for (qsizetype q = from; q < to; ++q)
        width += At(q) == u'\t' ? TabAdvance(width) : InfoAt(q).advance;
    return width;
}

// The characters at pos and before it belong to one word (no white space, tab or line-break
// opportunity between them).
bool ViewWrapModel::ContinuesWord(qsizetype pos)
{
    const char16_t c = At(pos);
    if (QChar::isLowSurrogate(c))
        return true;
    if (pos <= base_ || c == u'\t' || c == 0x2028 || IsSpaceAt(pos) || IsBreakSpaceAt(pos - 1))
        return false;
    if (NoBreakBefore(pos))
        return true;
    const qsizetype from = std::max(base_, std::min(lineStart_, pos) - kContext);
    QTextBoundaryFinder finder = LineFinderFrom(from);
    finder.setPosition(pos - from);
    return !finder.isAtBoundary();
}

// The extra lines the end of the text makes: a break that waits for the last word to end
// happens when the text ends there.
int ViewWrapModel::EvaluateEnd()
{
    if (pendingAt_ < 0)
        return EndExtra();
    ViewWrapModel ended(*this);
    const qsizetype at = pendingAt_;
    ended.pendingAt_ = -1;
    ended.NewLine(at, pendingOpportunity_);
    ended.Run(at);
    const int extra = ended.EvaluateEnd();
    return ended.paraLines_ - paraLines_ + extra;
}

// When the text ends with the line's first word and only its last glyph's overhang crosses
// the edge, the layout breaks that word between characters: the extra lines that makes.
int ViewWrapModel::EndExtra()
{
    if (afterSpace_ || breakPending_ || End() == lineStart_ || At(End() - 1) == u'\t')
        return 0;
    // Where the text ends the layout always looks at the last glyph's overhang.
    if (width_ > lineWidth_ || width_ + lastOverhang_ <= lineWidth_)
        return 0;
    int extra = 0;
    qsizetype from = lineStart_;
    const qsizetype end = End();
    for (;;) {
        const qsizetype at = AnywhereBreak(from, end);
        if (at <= from)
            return extra;
        ++extra;
        from = at;
        if (WidthBetween(from, end) + lastOverhang_ <= lineWidth_)
            return extra;
    }
}

// To the next tab stop, counted as the layout counts them: the position divided by the
// stop distance in its fixed point (rounding), then truncated.
int64_t ViewWrapModel::TabAdvance(int64_t x) const
{
    const int64_t stops = ((x * 64 + tabStop_ / 2) / tabStop_) >> 6;
    return (stops + 1) * tabStop_ - x;
}
