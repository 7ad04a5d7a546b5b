#include "editor/script_highlighter.h"

#include <QTextDocument>
#include <QTimer>

#include "editor/windows1250.h"

namespace kivo::editor {

using language::TokenKind;

struct ScriptHighlighter::LabelIndex {
    language::LabelCounts counts;
    /// Names whose count went from 0 to 1 or back since the last recheck.
    std::set<std::string> changed;
    /// The labels of the whole text after a large change, while its lines are highlighted.
    language::LabelCounts ahead;

    bool defined(const std::string& name) const { return counts.count(name) || ahead.count(name); }

    void add(const std::string& name, int delta) {
        int& n = counts[name];
        const bool before = n > 0;
        n += delta;
        if ((n > 0) != before) changed.insert(name);
        if (n <= 0) counts.erase(name);
    }
};

// Lives as long as its block: a deleted line takes its label out of the index.
class ScriptHighlighter::BlockData : public QTextBlockUserData {
public:
    explicit BlockData(std::shared_ptr<LabelIndex> index) : index_(std::move(index)) {}
    ~BlockData() override {
        if (marks.hasLabel) index_->add(marks.label, -1);
    }
    void setLabel(bool has, const std::string& name) {
        if (marks.hasLabel == has && marks.label == name) return;
        if (marks.hasLabel) index_->add(marks.label, -1);
        if (has) index_->add(name, +1);
        marks.hasLabel = has;
        marks.label = name;
    }
    LineMarks marks;

private:
    std::shared_ptr<LabelIndex> index_;
};

namespace {

QTextCharFormat styled(const QColor& color, bool bold = false, bool italic = false) {
    QTextCharFormat f;
    f.setForeground(color);
    if (bold) f.setFontWeight(QFont::Bold);
    f.setFontItalic(italic);
    return f;
}

}  // namespace

ScriptHighlighter::ScriptHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(static_cast<QObject*>(document)), labels_(std::make_shared<LabelIndex>()) {
    // Before the highlighter's own handler: a large change (a load, a paste) brings its labels
    // along, so that its jumps forward are not marked and looked at again one by one.
    connect(document, &QTextDocument::contentsChange, this, [this, document](int, int, int added) {
        if (added < kLargeChange) return;
        QString text = document->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        const QByteArray bytes = toWindows1250(text);
        labels_->ahead = language::labelCounts(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        QTimer::singleShot(0, this, [this] { labels_->ahead.clear(); });
    });
    setDocument(document);
    formats_[int(TokenKind::Command)] = styled(QColor(0x00, 0x00, 0x90), true);
    formats_[int(TokenKind::Family)] = styled(QColor(0x00, 0x00, 0x90), true);
    formats_[int(TokenKind::Member)] = styled(QColor(0x00, 0x70, 0x90), true);
    formats_[int(TokenKind::Unknown)] = styled(QColor(0xC0, 0x00, 0x00), true);
    formats_[int(TokenKind::Hex)] = styled(QColor(0x80, 0x00, 0x80));
    formats_[int(TokenKind::Decimal)] = styled(QColor(0x00, 0x70, 0x00));
    formats_[int(TokenKind::Name)] = styled(QColor(0x80, 0x50, 0x00));
    formats_[int(TokenKind::LabelDefinition)] = styled(QColor(0xA0, 0x20, 0x00), true);
    formats_[int(TokenKind::LabelDefinition)].setBackground(QColor(0xFF, 0xF4, 0xD0));
    formats_[int(TokenKind::JumpTarget)] = styled(QColor(0xA0, 0x20, 0x00));
    formats_[int(TokenKind::JumpTarget)].setFontUnderline(true);
    formats_[int(TokenKind::Comment)] = styled(QColor(0x70, 0x70, 0x70));
    formats_[int(TokenKind::Quoted)].setBackground(QColor(0xEE, 0xEE, 0xF8));
    formats_[int(TokenKind::Vanishing)].setFontStrikeOut(true);
    formats_[int(TokenKind::Vanishing)].setForeground(QColor(0xA0, 0xA0, 0xA0));
    errorFormat_.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    errorFormat_.setUnderlineColor(Qt::red);
    warningFormat_.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    warningFormat_.setUnderlineColor(QColor(0xE0, 0x90, 0x00));
}

const QTextCharFormat& ScriptHighlighter::composite(Column c) {
    const int key = (c.kind + 1) << 4 | c.overlays;
    auto it = composites_.find(key);
    if (it != composites_.end()) return it->second;
    QTextCharFormat f = c.kind >= 0 ? formats_[c.kind] : QTextCharFormat();
    if (c.overlays & kQuoted) f.merge(formats_[int(TokenKind::Quoted)]);
    if (c.overlays & kVanishing) f.merge(formats_[int(TokenKind::Vanishing)]);
    if (c.overlays & kWarning) f.merge(warningFormat_);
    if (c.overlays & kError) f.merge(errorFormat_);
    return composites_.emplace(key, f).first->second;
}

const LineMarks* ScriptHighlighter::marksOf(const QTextBlock& block) {
    // Every line of the document gets its data from this highlighter.
    auto* data = static_cast<BlockData*>(block.userData());
    return data ? &data->marks : nullptr;
}

QTextCharFormat ScriptHighlighter::formatOf(TokenKind kind) const { return formats_[int(kind)]; }

void ScriptHighlighter::highlightBlock(const QString& text) {
    const QByteArray bytes = toWindows1250(text);
    const std::string_view line(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    bool inBlockComment = previousBlockState() == 1;
    const bool firstLine = !currentBlock().previous().isValid();
    const language::LineAnalysis a = language::analyseLine(line, firstLine, inBlockComment);
    setCurrentBlockState(inBlockComment ? 1 : 0);

    auto* data = static_cast<BlockData*>(currentBlockUserData());
    if (!data) {
        data = new BlockData(labels_);
        setCurrentBlockUserData(data);
    }
    data->setLabel(a.label, a.label ? std::string(a.labelName()) : std::string());
    const std::optional<language::LabelField> jump = language::jumpLabel(a);
    data->marks.jumps = jump.has_value();
    data->marks.jumpLabel = jump ? jump->label : std::string();
    // The line number is the margin's business: the block knows it.
    data->marks.findings =
        language::checkLine(a, 0, line, labels_->ahead.empty() ? labels_->counts : labels_->ahead);
    data->marks.jumpMarked = jump && !labels_->defined(jump->label);

    // Each column gets a token kind and overlay bits; each run of equal columns is one
    // setFormat, which is what Qt's formatting costs by.
    const auto n = static_cast<std::size_t>(text.size());
    columns_.assign(n, Column{});
    auto mark = [&](int begin, int end, auto&& apply) {
        for (auto i = static_cast<std::size_t>(qMax(0, begin)); i < static_cast<std::size_t>(qMax(0, end)) && i < n; ++i)
            apply(columns_[i]);
    };
    for (const language::Token& t : language::tokensOf(a, line)) {
        if (t.kind == TokenKind::Quoted)
            mark(t.begin, t.end, [](Column& c) { c.overlays |= kQuoted; });
        else if (t.kind == TokenKind::Vanishing)
            mark(t.begin, t.end, [](Column& c) { c.overlays |= kVanishing; });
        else
            mark(t.begin, t.end, [&](Column& c) { c.kind = static_cast<std::int8_t>(t.kind); });
    }
    for (const language::Finding& f : data->marks.findings) {
        const std::uint8_t bit = f.severity == language::Severity::Error ? kError : kWarning;
        mark(f.begin, f.end, [bit](Column& c) { c.overlays |= bit; });
    }
    for (std::size_t start = 0; start < n;) {
        std::size_t end = start + 1;
        while (end < n && columns_[end] == columns_[start]) ++end;
        if (columns_[start].kind >= 0 || columns_[start].overlays)
            setFormat(static_cast<int>(start), static_cast<int>(end - start), composite(columns_[start]));
        start = end;
    }

    if (!labels_->changed.empty() && !recheckPending_) {
        recheckPending_ = true;
        QTimer::singleShot(0, this, &ScriptHighlighter::recheckJumps);
    }
    // One notice for a whole pass: loading a script highlights every line in one go.
    if (!notifyPending_) {
        notifyPending_ = true;
        QTimer::singleShot(0, this, [this] {
            notifyPending_ = false;
            emit marksChanged();
        });
    }
}

void ScriptHighlighter::recheckJumps() {
    recheckPending_ = false;
    const std::set<std::string> changed = std::move(labels_->changed);
    labels_->changed.clear();
    if (!document()) return;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const LineMarks* marks = marksOf(block);
        if (marks && marks->jumps && changed.count(marks->jumpLabel) &&
            marks->jumpMarked == labels_->defined(marks->jumpLabel))
            rehighlightBlock(block);
    }
    emit marksChanged();
}

}  // namespace kivo::editor
