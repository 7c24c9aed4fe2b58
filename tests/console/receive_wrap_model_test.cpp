// The wrap model against the layout of a real plain-text edit: for many random texts, at
// many points along each, the model's line count must be the count the edit lays out.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "console/quillon_dlg.h"
#include "console/view_wrap_model.h"
#include "receive_fixture.h"

namespace consoletest {
namespace {

using platform::Language;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// Random text in the characters a printer's answers and their decoding bring: words,
// spaces, punctuation and numbers, Chinese, replacement characters, control characters,
// tabs, no-break and ideographic spaces, a character outside the basic plane, line breaks.
QString RandomText(std::mt19937& rng, int length)
{
    static const QString punctuation = QStringLiteral(".,;:!?-/()[]{}'\"$%&*+=<>@#^_`|~\\");
    static const QString chinese = Utf8("你好打印机状态正常纸张缺少错误温度过高");
    static const QString chinesePunctuation = Utf8("，。、：；（）“”【】《》！？");
    static const QString numbers[] = {QStringLiteral("12.5%"), QStringLiteral("(3)"), QStringLiteral("-7"),
                                      QStringLiteral("$1,000"), QStringLiteral("1/2"), QStringLiteral("v5.8")};
    static const char16_t controls[] = {0x01, 0x07, 0x08, 0x0B, 0x0C, 0x0E, 0x10, 0x1B, 0x1F, 0x7F};
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    QString s;
    while (s.size() < length) {
        switch (pick(22)) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4: {
            const int n = pick(10) == 0 ? 20 + pick(120) : 1 + pick(12);
            for (int i = 0; i < n; ++i) {
                const int k = pick(62);
                s += QChar(k < 10 ? '0' + k : k < 36 ? 'a' + k - 10 : 'A' + k - 36);
            }
            break;
        }
        case 5:
        case 6:
        case 7:
            s += QString(pick(20) == 0 ? 20 + pick(150) : 1 + pick(3), QLatin1Char(' '));
            break;
        case 8:
        case 9:
            s += punctuation[pick(int(punctuation.size()))];
            break;
        case 10:
        case 11:
            for (int n = 1 + pick(8); n > 0; --n)
                s += chinese[pick(int(chinese.size()))];
            break;
        case 12:
            s += chinesePunctuation[pick(int(chinesePunctuation.size()))];
            break;
        case 13:
            s += QChar(0xFFFD);
            break;
        case 14:
            s += QChar(controls[pick(int(std::size(controls)))]);
            break;
        case 15:
            s += QLatin1Char('\t');
            break;
        case 16:
            s += QLatin1Char('\n');
            break;
        case 17:
            s += QChar(pick(2) ? 0x00A0 : 0x3000);
            break;
        case 18:
            s += numbers[pick(int(std::size(numbers)))];
            break;
        case 19:
            s += QString::fromUcs4(U"\U00020000\U0002000B");
            break;
        case 20:
            s += QStringLiteral("e\u0301");  // a letter with a combining accent
            break;
        default:
            s += QChar(0x2028);
            break;
        }
    }
    return s;
}

// The hexadecimal form of random bytes, now and then after the clearing message.
QString RandomHex(std::mt19937& rng, int bytes)
{
    QString s;
    if (rng() % 3 == 0)
        s = MultiLineForViewOfClearing();
    for (int i = 0; i < bytes; ++i)
        s += QString::asprintf("%02X ", unsigned(rng() % 256));
    return s;
}

// An edit as the console's receive area is, at a chosen width.
class ModelVsEdit {
public:
    ModelVsEdit(const QFont& windowFont, int width)
    {
        top_.setFont(windowFont);
        top_.resize(width + 40, 300);
        edit_ = new QPlainTextEdit(&top_);
        edit_->setFont(ViewWrapModel::ViewFont(edit_->font()));
        edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit_->setGeometry(4, 4, width, 200);
        top_.show();
        QApplication::processEvents();
        model_.SetLayout(edit_->document()->defaultFont(), LayoutLineWidth(*edit_),
                         edit_->document()->defaultTextOption().tabStopDistance());
    }

    // Feeds the text to the model and compares its count with the edit's at the cut points
    // (never inside a surrogate pair: decoded text never stops there).
    void Compare(const QString& text, std::vector<qsizetype> cuts)
    {
        cuts.push_back(text.size());
        cuts.erase(std::remove_if(cuts.begin(), cuts.end(),
                                  [&](qsizetype c) { return c > 0 && c < text.size() && text[c].isLowSurrogate(); }),
                   cuts.end());
        std::sort(cuts.begin(), cuts.end());
        model_.Clear();
        std::vector<int> counts;
        size_t next = 0;
        for (qsizetype i = 0; i <= text.size() && next < cuts.size(); ++i) {
            while (next < cuts.size() && cuts[next] == i) {
                counts.push_back(model_.Lines());
                ++next;
            }
            if (i < text.size())
                model_.Append(text[i]);
        }
        for (size_t k = 0; k < cuts.size(); ++k) {
            const QString prefix = text.left(cuts[k]);
            edit_->setPlainText(prefix);
            const int widget = LaidOutLines(*edit_);
            ASSERT_EQ(counts[k], widget) << "width " << edit_->width() << ", prefix of " << cuts[k] << " characters: "
                                         << Escaped(prefix).toStdString();
        }
    }

private:
    QWidget top_;
    QPlainTextEdit* edit_;
    ViewWrapModel model_;
};

QFont WindowFont(Language language)
{
    CQuillonDlg dlg(language);
    return dlg.font();
}

struct WrapCase {
    Language language;
    int width;  // of the edit, pixels
};

void PrintTo(const WrapCase& c, std::ostream* os)
{
    *os << (c.language == Language::English ? "English" : "Chinese") << " " << c.width << "px";
}

class WrapModelTest : public ::testing::TestWithParam<WrapCase> {};

// Random texts from make, each compared at eight random points and at its end.
template <class Make>
void CompareRandomTexts(const WrapCase& c, unsigned seed, int rounds, Make make)
{
    ModelVsEdit check(WindowFont(c.language), c.width);
    std::mt19937 rng(seed + unsigned(c.width));
    for (int round = 0; round < rounds; ++round) {
        const QString text = make(rng);
        std::vector<qsizetype> cuts;
        for (int k = 0; k < 8; ++k)
            cuts.push_back(qsizetype(rng() % unsigned(text.size())));
        check.Compare(text, cuts);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

TEST_P(WrapModelTest, TextCountsAsTheEditLaysItOut)
{
    CompareRandomTexts(GetParam(), 1000, 120, [](std::mt19937& rng) { return RandomText(rng, 40 + int(rng() % 900)); });
}

TEST_P(WrapModelTest, HexFormCountsAsTheEditLaysItOut)
{
    CompareRandomTexts(GetParam(), 2000, 60, [](std::mt19937& rng) { return RandomHex(rng, 50 + int(rng() % 1500)); });
}

// Paragraphs longer than the model keeps behind its current line.
TEST_P(WrapModelTest, LongParagraphsCountAsTheEditLaysThemOut)
{
    CompareRandomTexts(GetParam(), 4000, 6, [](std::mt19937& rng) {
        QString text = RandomText(rng, 9000 + int(rng() % 4000));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text;
    });
}

// Every prefix of a few texts, so no single character's step is skipped.
TEST_P(WrapModelTest, EveryPrefixOfShortTexts)
{
    ModelVsEdit check(WindowFont(GetParam().language), GetParam().width);
    std::mt19937 rng(3000 + unsigned(GetParam().width));
    for (int round = 0; round < 4; ++round) {
        const QString text = RandomText(rng, 300);
        std::vector<qsizetype> cuts;
        for (qsizetype i = 0; i < text.size(); ++i)
            cuts.push_back(i);
        check.Compare(text, cuts);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

// The pairs the model answers itself, without asking Qt's line-break rules: Qt finds no
// opportunity between them in any of many surroundings.
TEST(WrapModelPairs, PairsKeptTogetherNeverBreak)
{
    const char* contexts[] = {"", "a", "Z", "1", " ", "(", ")", "[", "]", "-", ".", ",", ":", "$", "%", "+", "/", "\\",
                              "!", "?", "\"", "'", "#", "a1", "1.", "x-", "1,0", "$1", "(a", "a)", "10%", "-1"};
    int kept = 0;
    for (char16_t a = 0x21; a < 0x7F; ++a) {
        for (char16_t b = 0x21; b < 0x7F; ++b) {
            if (!ViewWrapModel::KeptTogether(a, b))
                continue;
            ++kept;
            for (const char* before : contexts) {
                for (const char* after : contexts) {
                    const QString text = QString::fromLatin1(before) + QChar(a) + QChar(b) + QString::fromLatin1(after);
                    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
                    finder.setPosition(qsizetype(std::strlen(before)) + 1);
                    ASSERT_FALSE(finder.isAtBoundary()) << Escaped(text).toStdString();
                }
            }
        }
    }
    EXPECT_GT(kept, 95 * 95 / 2) << "most printable pairs are answered without the rules";
    EXPECT_FALSE(ViewWrapModel::KeptTogether(u'a', u' '));
    EXPECT_FALSE(ViewWrapModel::KeptTogether(u'a', 0x4F60));
}

INSTANTIATE_TEST_SUITE_P(FontsAndWidths, WrapModelTest,
                         ::testing::Values(WrapCase{Language::English, 418}, WrapCase{Language::English, 160},
                                           WrapCase{Language::English, 45}, WrapCase{Language::Chinese, 418},
                                           WrapCase{Language::Chinese, 97}));

}  // namespace
}  // namespace consoletest
