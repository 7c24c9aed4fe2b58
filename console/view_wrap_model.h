#pragma once
// How many lines a plain-text edit displays for its text, kept up to date character by
// character instead of laying the document out again.
//
// The edit wraps at its width, at word boundaries, and anywhere inside a word too wide for a
// line of its own (QTextOption::WrapAtWordBoundaryOrAnywhere). The model follows the line
// breaking of Qt's text layout step by step:
// - Every character has a fixed advance, measured once by laying that character out alone.
//   That holds when the edit's font has kerning and shaping switched off (ViewFont): a line
//   is then as wide as the sum of its characters.
// - Text comes in words and runs of white space. A word ends at white space, at a tab and at
//   a Unicode line-break opportunity (asked of QTextBoundaryFinder, only when a line
//   overflows). A word that does not fit starts the next line; spaces hang past the edge,
//   but a run of them wider than a whole line ends it.
// - The first word of a line always stays on it; when it is wider than the line, the line
//   breaks between its characters (grapheme clusters) instead.
// - A glyph that reaches past its advance (negative right bearing) counts when its word is
//   checked near the edge, and where a line ends right after it.
// - A tab advances to the next tab stop; a line that cannot take it ends after it. U+2028
//   ends a line, and a new one starts after it.
// Each paragraph (a '\n' in the text) starts a new line; an empty paragraph is one line.
//
// After each character, Lines() is the count the edit lays out for the text so far. When a
// line breaks, the rest of it is gone through again from the new line's start, so the cost
// stays a few operations per character. Scripts that need shaping (Arabic, Indic) and soft
// hyphens are counted as if each character stood alone.

#include <QFont>
#include <QTextBoundaryFinder>
#include <QString>

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class ViewWrapModel {
public:
    // SetLayout comes before any text.
    ViewWrapModel() = default;
    ViewWrapModel(const ViewWrapModel&) = default;
    ViewWrapModel& operator=(const ViewWrapModel&) = default;

    // The widest a line can be in the layout (QFIXED_MAX pixels): what a line may take when
    // the text does not wrap.
    static constexpr qreal kNoWrap = qreal(INT_MAX / 256);

    // The font of the edit's document, the width its layout gives a line (pixels) and the
    // tab-stop distance. Forgets the text.
    void SetLayout(const QFont& font, qreal lineWidth, qreal tabStop);
    bool HasLayout(const QFont& font, qreal lineWidth, qreal tabStop) const;

    // The font an edit needs for the model to hold: the given one without kerning, and
    // without shaping where a script does not require it.
    static QFont ViewFont(QFont font);

    // True when the line-break rules never allow a break between a and b, whatever comes
    // before or after them; false when they may, or when the pair is not printable ASCII.
    static bool KeptTogether(char16_t a, char16_t b);

    void Clear();  // no text: one empty line
    void Append(QChar c);
    void Append(QStringView text);
    int Lines() const { return linesBefore_ + paraLines_ + 1 + endExtra_; }

private:
    // Widths in 1/64 pixel, as the layout keeps them.
    struct CharInfo {
        int32_t advance = 0;
        int32_t overhang = 0;  // how far the glyph reaches past its advance
        uint8_t flags = 0;
        uint8_t script = 0;  // as ScriptAt gives it for the character alone
    };
    enum : uint8_t {
        kKnown = 1,
        kSpace = 2,    // breakable white space: it ends a word and hangs at a line's end
        kSimple = 4,   // a letter or digit: no line-break opportunity next to another one
        kSpecial = 8,  // tab, line separator, surrogate: handled apart
    };
    struct Metrics;  // the per-character table of one font, shared by copies of the model

    // ASCII from a table filled when the layout is set: this is the per-byte path.
    const CharInfo& Info(char16_t c) { return c < 0x80 && ascii_ ? ascii_[c] : MeasuredInfo(c); }
    const CharInfo& MeasuredInfo(char16_t c);
    CharInfo Measure(QStringView text) const;
    const CharInfo& PairInfo(char16_t high, char16_t low);
    const CharInfo& InfoAt(qsizetype pos);
    bool IsSpaceAt(qsizetype pos);       // white space (not a tab)
    bool IsBreakSpaceAt(qsizetype pos);  // white space or a tab: a word ends before it

    void EndParagraph();
    // A new line at `at`; `opportunity`: it starts at a line-break opportunity between two
    // characters that are no white space (the Unicode rules may take that one back).
    void NewLine(qsizetype at, bool opportunity = false, bool recheck = false);
    void ResetLine(qsizetype at);
    // The first of the latest line starts the text has taken back, or -1.
    int TakenBackStart();
    // Takes the characters from pos to the end onto the lines.
    void Run(qsizetype pos);
    // One character; returns where a new line starts when it ends the current one, else -1.
    qsizetype Step(qsizetype pos);
    qsizetype StepSolid(qsizetype pos, const CharInfo& info, bool startsWord);
    bool EndsAfterWideSpace(qsizetype pos);
    qsizetype StepTab(qsizetype pos);
    qsizetype StepSeparator(qsizetype pos);
    qsizetype Overflow(qsizetype pos);
    qsizetype FindBreak(qsizetype pos);
    // No line-break opportunity between the characters at pos - 1 and pos (KeptTogether).
    bool NoBreakBefore(qsizetype pos) const;
    QTextBoundaryFinder LineFinderFrom(qsizetype from);
    bool OpportunityBefore(qsizetype q, qsizetype from, std::optional<QTextBoundaryFinder>& finder);
    // Where the line from `from` breaks when laid out character by character, or -1.
    qsizetype AnywhereBreak(qsizetype from, qsizetype end);
    int64_t WidthBetween(qsizetype from, qsizetype to);
    // The overhang the layout adds for the glyph before the word at `at` when the line ends
    // there (see OverhangBefore in the .cpp).
    // *mayGrow: the answer may change as the text goes on.
    int64_t OverhangBefore(qsizetype at, bool* mayGrow);
    qsizetype CommittedEnd(qsizetype at);
    qsizetype WordLast(qsizetype at);
    qsizetype ItemStart(qsizetype pos);
    void NoteItem(qsizetype pos);
    int ScriptAt(qsizetype pos);
    int EndExtra();
    int EvaluateEnd();
    bool ContinuesWord(qsizetype pos);
    int64_t TabAdvance(int64_t x) const;

    char16_t At(qsizetype pos) const { return para_[size_t(pos - base_)]; }
    qsizetype End() const { return base_ + qsizetype(para_.size()); }

    std::shared_ptr<Metrics> metrics_;
    const CharInfo* ascii_ = nullptr;  // metrics_'s entries of U+0000 to U+007F
    int64_t lineWidth_ = 0;    // 1/64 px
    int64_t minOverhang_ = 0;  // the font's largest overhang: below it no glyph is measured
    int64_t tabStop_ = 0;

    int linesBefore_ = 0;  // lines of the finished paragraphs
    int paraLines_ = 0;    // finished lines of the current paragraph
    int endExtra_ = 0;     // lines the current line splits into because the text ends here
    // The last character's word does not fit by its glyph's overhang alone: where the line
    // breaks when that word ends there (-1: no such break waits).
    qsizetype pendingAt_ = -1;
    bool pendingOpportunity_ = false;
    bool pendingRecheck_ = false;
    // The kind of the last restart Step returned (see LineStart).
    bool restartOpportunity_ = false;
    bool restartRecheck_ = false;
    // The latest line starts of the paragraph, the current line's last.
    struct LineStart {
        qsizetype at;
        bool opportunity;  // at a line-break opportunity after a character that is no space
        bool recheck;      // the line before was checked with an overhang that may change
    };
    std::vector<LineStart> starts_{LineStart{0, false, false}};
    bool anyRecheck_ = false;  // some of starts_ has recheck set

    // The current paragraph from index base_ on (the line and a little before it).
    std::u16string para_;
    qsizetype base_ = 0;
    // The current line.
    qsizetype lineStart_ = 0;
    qsizetype wordStart_ = 0;     // after the last white space or tab
    qsizetype firstSolid_ = -1;   // its first character that is no white space, or -1
    int64_t width_ = 0;           // advance of its characters
    int64_t committedWidth_ = 0;  // ... up to its last character that is no white space
    int64_t lastOverhang_ = 0;    // overhang of its last word's last glyph
    int64_t spaceRun_ = 0;        // advance of the white space it ends with
    bool afterSpace_ = false;     // it ends with white space
    bool simple_ = true;          // it holds only letters, digits and white space
    bool breakPending_ = false;   // it ended with a tab that did not fit
    std::vector<unsigned char> finderBuffer_;
    // Where the layout's items may start, kept as the text comes so that ItemStart need not
    // walk back over the paragraph: the tabs and line separators kept, and the runs of
    // characters of one script (common characters belong to none).
    std::vector<qsizetype> itemBreaks_;
    struct ScriptRun {
        qsizetype start, last;  // its first and last character of that script
        int script;
    };
    std::vector<ScriptRun> scriptRuns_;
};
