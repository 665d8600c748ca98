/* The topic source: plain text that reads like the help it becomes.
 *
 *   ; a comment line
 *   #helptitle Springdeck Help        title of the help file (once)
 *   #copyright ...                    optional, once
 *   #topic using_springdeck           starts a topic; its context name
 *   #context 100                      map number for HELP_CONTEXT (optional)
 *   #title Using Springdeck           the topic's title (required)
 *   #contents                         this topic is the contents topic
 *   #heading Assigning a program      a heading inside the topic
 *
 *   Text lines form paragraphs; a blank line ends a paragraph. **Bold
 *   words** are marked with double asterisks. A jump is written
 *   [[text shown|target]], the target being a context name or a map number.
 *
 * Text is printable ASCII; anything else is refused with its line number, so
 * that the file shows the same on every Windows code page. */
#include <algorithm>
#include <cctype>

#include "hlpgen.h"

struct SourceState {
    const std::string *sourceName;
    int line;
    HelpBook *book;
    HelpTopic *topic;
    std::string paragraph;
    int paragraphLine; /* where the paragraph being collected starts */
    std::string *error;
};

static bool SourceError(SourceState &state, const std::string &message)
{
    *state.error = *state.sourceName + ":" + std::to_string(state.line) + ": " + message;
    return false;
}

static std::string Trim(const std::string &text)
{
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return std::string();
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

static bool IsNumber(const std::string &text)
{
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    return !text.empty() && text.size() <= 9 && std::all_of(text.begin(), text.end(), digit);
}

static void AddRun(std::vector<HelpRun> &runs, const std::string &text, bool bold)
{
    if (text.empty())
        return;
    if (!runs.empty() && runs.back().jumpTo.empty() && runs.back().bold == bold)
        runs.back().text += text;
    else
        runs.push_back({text, "", bold});
}

/* Plain text, in which each "**" turns bold on or off. */
static void AddText(std::vector<HelpRun> &runs, const std::string &text, bool *bold)
{
    size_t at = 0;
    for (size_t mark; (mark = text.find("**", at)) != std::string::npos; at = mark + 2) {
        AddRun(runs, text.substr(at, mark - at), *bold);
        *bold = !*bold;
    }
    AddRun(runs, text.substr(at), *bold);
}

/* Splits a paragraph into plain runs, **bold** runs and [[text|target]] jumps. */
static bool ParseRuns(SourceState &state, const std::string &text, std::vector<HelpRun> *runs)
{
    size_t at = 0;
    bool bold = false;
    while (at < text.size()) {
        size_t open = text.find("[[", at);
        size_t stray = text.find("]]", at);
        if (stray != std::string::npos && (open == std::string::npos || stray < open))
            return SourceError(state, "\"]]\" without \"[[\"");
        if (open == std::string::npos) {
            AddText(*runs, text.substr(at), &bold);
            break;
        }
        AddText(*runs, text.substr(at, open - at), &bold);
        size_t close = text.find("]]", open + 2);
        if (close == std::string::npos)
            return SourceError(state, "\"[[\" without \"]]\"");
        std::string inside = text.substr(open + 2, close - open - 2);
        size_t bar = inside.find('|');
        if (bar == std::string::npos)
            return SourceError(state, "a jump is written [[text|target]]");
        HelpRun jump{Trim(inside.substr(0, bar)), Trim(inside.substr(bar + 1)), false};
        if (jump.text.empty() || jump.jumpTo.empty())
            return SourceError(state, "a jump needs a text and a target");
        if (!IsNumber(jump.jumpTo) && !IsContextName(jump.jumpTo))
            return SourceError(state, "jump target \"" + jump.jumpTo + "\" is neither a context name nor a number");
        runs->push_back(jump);
        at = close + 2;
    }
    return !bold || SourceError(state, "\"**\" opens bold text that is never closed");
}

static bool FlushParagraph(SourceState &state)
{
    if (state.paragraph.empty())
        return true;
    HelpParagraph paragraph;
    int line = state.line;
    state.line = state.paragraphLine; /* errors point at the paragraph */
    if (!ParseRuns(state, state.paragraph, &paragraph.runs))
        return false;
    state.line = line;
    state.topic->paragraphs.push_back(paragraph);
    state.paragraph.clear();
    return true;
}

static bool NeedTopic(SourceState &state, const std::string &what)
{
    return state.topic || SourceError(state, what + " before the first #topic");
}

static bool SetOnce(SourceState &state, std::string &field, const std::string &value, const std::string &what)
{
    if (value.empty())
        return SourceError(state, what + " needs a text");
    if (!field.empty())
        return SourceError(state, what + " given twice");
    field = value;
    return true;
}

static bool Directive(SourceState &state, const std::string &word, const std::string &arg)
{
    HelpBook &book = *state.book;
    if (word == "helptitle" || word == "copyright")
        return SetOnce(state, word == "helptitle" ? book.title : book.copyright, arg, "#" + word);
    if (word == "topic") {
        if (!IsContextName(arg))
            return SourceError(state, "#topic needs a context name (letters, digits, '.' and '_')");
        book.topics.push_back(HelpTopic());
        state.topic = &book.topics.back();
        state.topic->name = arg;
        return true;
    }
    if (!NeedTopic(state, "#" + word))
        return false;
    HelpTopic &topic = *state.topic;
    if (word == "title")
        return SetOnce(state, topic.title, arg, "#title");
    if (word == "context") {
        if (!IsNumber(arg))
            return SourceError(state, "#context needs a number");
        if (topic.hasMapId)
            return SourceError(state, "#context given twice");
        topic.hasMapId = true;
        topic.mapId = static_cast<uint32_t>(std::stoul(arg));
        return true;
    }
    if (word == "contents") {
        if (!book.contentsTopic.empty())
            return SourceError(state, "#contents given twice");
        book.contentsTopic = topic.name;
        return true;
    }
    if (word == "heading") {
        if (arg.empty())
            return SourceError(state, "#heading needs a text");
        HelpParagraph heading;
        heading.heading = true;
        heading.runs.push_back({arg, "", false});
        topic.paragraphs.push_back(heading);
        return true;
    }
    return SourceError(state, "unknown directive #" + word);
}

static bool SourceLine(SourceState &state, std::string line)
{
    for (char &c : line) {
        if (c == '\t')
            c = ' ';
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return SourceError(state, "only printable ASCII text is allowed");
    }
    if (!line.empty() && line[0] == ';')
        return true;
    std::string text = Trim(line);
    if (text.empty())
        return FlushParagraph(state);
    if (text[0] == '#') {
        size_t space = std::min(text.find(' '), text.size());
        return FlushParagraph(state) && Directive(state, text.substr(1, space - 1), Trim(text.substr(space)));
    }
    if (!NeedTopic(state, "text"))
        return false;
    if (state.paragraph.empty())
        state.paragraphLine = state.line;
    else
        state.paragraph += ' ';
    state.paragraph += text;
    return true;
}

bool ParseTopicSource(const std::string &text, const std::string &sourceName, HelpBook *book, std::string *error)
{
    SourceState state{&sourceName, 0, book, nullptr, std::string(), 0, error};
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ++state.line;
        if (!SourceLine(state, line))
            return false;
        at = end + 1;
    }
    return FlushParagraph(state);
}

bool FinishTopicSources(HelpBook *book, std::string *error)
{
    if (book->title.empty())
        return Fail(error, "the sources give no #helptitle");
    for (HelpTopic &topic : book->topics) {
        if (topic.title.empty())
            return Fail(error, "topic " + topic.name + " has no #title");
        for (HelpParagraph &paragraph : topic.paragraphs)
            for (HelpRun &run : paragraph.runs) {
                if (!IsNumber(run.jumpTo))
                    continue;
                uint32_t mapId = static_cast<uint32_t>(std::stoul(run.jumpTo));
                auto target = std::find_if(book->topics.rbegin(), book->topics.rend(), [&](const HelpTopic &candidate) {
                    return candidate.hasMapId && candidate.mapId == mapId;
                });
                if (target == book->topics.rend())
                    return Fail(error,
                                "topic " + topic.name + " jumps to map number " + run.jumpTo + ", which no topic has");
                run.jumpTo = target->name;
            }
    }
    return true;
}
