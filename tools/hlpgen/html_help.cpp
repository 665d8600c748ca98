/* The same book as an HTML Help project, for chmcmd (Free Pascal's CHM
 * compiler) to turn into a .chm: one small page per topic, a table of
 * contents (.hhc), an index (.hhk), and the project file (.hhp) whose [ALIAS]
 * and [MAP] sections give each map number its page, so that HtmlHelpA with
 * HH_HELP_CONTEXT opens the topic that HELP_CONTEXT opens in the .hlp file.
 *
 * Where the files go (HtmlHelpPageFolder) is explained in hlpgen.h. The
 * project names its table of contents and index only in its window type
 * "main" (chmcmd, run from "/", cannot read them through the [OPTIONS]
 * entries; the viewers take them from the window type). */
#include <algorithm>
#include <cctype>
#include <map>
#include <string_view>

#include "hlpgen.h"

static std::string LowerCase(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

static std::string PageName(const std::string &contextName) { return LowerCase(contextName) + ".htm"; }

static std::string InFolder(const std::string &name) { return std::string(HtmlHelpPageFolder) + "/" + name; }

/* Text for HTML element content and attribute values. */
static std::string Escape(const std::string &text)
{
    constexpr const char *Entities[] = {"&amp;", "&lt;", "&gt;", "&quot;"};
    std::string out;
    for (char c : text) {
        size_t special = std::string_view("&<>\"").find(c);
        if (special == std::string_view::npos)
            out += c;
        else
            out += Entities[special];
    }
    return out;
}

static std::string BaseName(const std::string &path)
{
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

static std::string Anchor(size_t heading) { return "s" + std::to_string(heading); }

constexpr char PageStyle[] =
    "body { font-family: Arial, sans-serif; font-size: 10pt; margin: 8px 12px; }\n"
    "h1 { font-size: 12pt; }\n"
    "h2 { font-size: 10pt; margin-top: 14px; margin-bottom: 4px; }\n"
    "p { margin-top: 4px; margin-bottom: 8px; }\n";

static bool BuildPage(const HelpTopic &topic, const std::map<std::string, std::string> &pages, std::string *page,
                      std::string *error)
{
    std::string &out = *page;
    out =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<html>\n<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\n"
        "<title>" +
        Escape(topic.title) + "</title>\n<style type=\"text/css\">\n" + PageStyle + "</style>\n</head>\n<body>\n<h1>" +
        Escape(topic.title) + "</h1>\n";
    size_t headings = 0;
    for (const HelpParagraph &paragraph : topic.paragraphs) {
        std::string text;
        for (const HelpRun &run : paragraph.runs) {
            if (!run.jumpTo.empty()) {
                auto target = pages.find(LowerCase(run.jumpTo));
                if (target == pages.end())
                    return Fail(error, "topic " + topic.name + " jumps to " + run.jumpTo + ", which is no topic");
                text += "<a href=\"" + target->second + "\">" + Escape(run.text) + "</a>";
            } else if (run.bold && !paragraph.heading) {
                text += "<b>" + Escape(run.text) + "</b>";
            } else {
                text += Escape(run.text);
            }
        }
        if (paragraph.heading)
            out += "<h2><a name=\"" + Anchor(++headings) + "\">" + text + "</a></h2>\n";
        else
            out += "<p>" + text + "</p>\n";
    }
    out += "</body>\n</html>\n";
    return true;
}

/* An entry of the contents or the index: a topic, or a heading below it. */
struct SitemapItem {
    std::string name;
    std::string local;
    bool heading;
};

/* Every topic title and the headings below it, in contents order. */
static std::vector<SitemapItem> SitemapItems(const std::vector<const HelpTopic *> &order)
{
    std::vector<SitemapItem> items;
    for (const HelpTopic *topic : order) {
        std::string local = InFolder(PageName(topic->name));
        items.push_back({topic->title, local, false});
        size_t headings = 0;
        for (const HelpParagraph &paragraph : topic->paragraphs) {
            if (!paragraph.heading)
                continue;
            SitemapItem item{"", local + "#" + Anchor(++headings), true};
            for (const HelpRun &run : paragraph.runs)
                item.name += run.text;
            items.push_back(item);
        }
    }
    return items;
}

static std::string SitemapEntry(const std::string &name, const std::string &local)
{
    return "<li><object type=\"text/sitemap\">\n"
           "  <param name=\"Name\" value=\"" +
           Escape(name) +
           "\">\n"
           "  <param name=\"Local\" value=\"" +
           Escape(local) +
           "\">\n"
           "</object>\n";
}

constexpr char SitemapHead[] =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<html>\n<head>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\n</head>\n<body>\n";

/* The contents: the contents topic first, then the others in source order;
 * a topic's headings are entries below it. */
static std::string BuildContents(const std::vector<const HelpTopic *> &order)
{
    std::string out = std::string(SitemapHead) +
                      "<object type=\"text/site properties\">\n"
                      "  <param name=\"ImageType\" value=\"Folder\">\n</object>\n<ul>\n";
    std::vector<SitemapItem> items = SitemapItems(order);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].heading && !items[i - 1].heading)
            out += "<ul>\n";
        out += SitemapEntry(items[i].name, items[i].local);
        if (items[i].heading && (i + 1 == items.size() || !items[i + 1].heading))
            out += "</ul>\n";
    }
    return out + "</ul>\n</body>\n</html>\n";
}

/* The index: every topic title and heading, in alphabetical order. */
static std::string BuildIndex(const std::vector<const HelpTopic *> &order)
{
    std::vector<SitemapItem> items = SitemapItems(order);
    std::stable_sort(items.begin(), items.end(),
                     [](const auto &a, const auto &b) { return LowerCase(a.name) < LowerCase(b.name); });
    std::string out = std::string(SitemapHead) + "<ul>\n";
    for (const SitemapItem &item : items)
        out += SitemapEntry(item.name, item.local);
    return out + "</ul>\n</body>\n</html>\n";
}

static std::string BuildProject(const HelpBook &book, const std::string &chmPath, const std::string &base,
                                const std::vector<const HelpTopic *> &order)
{
    std::string contents = InFolder(base + ".hhc");
    std::string index = InFolder(base + ".hhk");
    std::string home = InFolder(PageName(order.front()->name));
    std::string out =
        "[OPTIONS]\n"
        "Compatibility=1.1 or later\n"
        "Compiled file=" +
        chmPath +
        "\n"
        "Default Window=main\n"
        "Default topic=" +
        home +
        "\n"
        "Display compile progress=No\n"
        "Binary TOC=No\n"
        "Binary Index=No\n"
        "Language=0x409 English (United States)\n"
        "Title=" +
        book.title +
        "\n"
        "\n[WINDOWS]\n"
        "main=\"" +
        book.title + "\",\"" + contents + "\",\"" + index + "\",\"" + home + "\",\"" + home +
        "\",,,,,0x120,280,0x304E,[60,40,760,560],,,,,,,0\n"
        "\n[FILES]\n";
    std::string aliases, map;
    for (const HelpTopic *topic : order) {
        std::string page = InFolder(PageName(topic->name));
        std::string id = std::to_string(topic->mapId);
        out += page + "\n";
        if (topic->hasMapId) {
            aliases += "IDH_" + id + "=" + page + "\n";
            map += "#define IDH_" + id + " " + id + "\n";
        }
    }
    return out + contents + "\n" + index + "\n\n[ALIAS]\n" + aliases + "\n[MAP]\n" + map;
}

bool BuildHtmlHelpProject(const HelpBook &book, const std::string &chmPath, std::vector<HtmlHelpFile> *files,
                          std::string *error)
{
    if (book.topics.empty())
        return Fail(error, "the book has no topics");
    std::map<std::string, std::string> pages; /* lower-case context name -> page */
    std::map<uint32_t, std::string> mapIds;
    std::vector<const HelpTopic *> order;
    for (const HelpTopic &topic : book.topics) {
        if (!pages.emplace(LowerCase(topic.name), PageName(topic.name)).second)
            return Fail(error, "two topics are named " + topic.name);
        if (topic.hasMapId && !mapIds.emplace(topic.mapId, topic.name).second)
            return Fail(error, "topics " + mapIds[topic.mapId] + " and " + topic.name + " share map number " +
                                   std::to_string(topic.mapId));
        if (topic.name == book.contentsTopic)
            order.insert(order.begin(), &topic);
        else
            order.push_back(&topic);
    }
    const std::string base = BaseName(chmPath);
    files->clear();
    for (const HelpTopic *topic : order) {
        HtmlHelpFile page{InFolder(PageName(topic->name)), std::string()};
        if (!BuildPage(*topic, pages, &page.text, error))
            return false;
        files->push_back(page);
    }
    files->push_back({InFolder(base + ".hhc"), BuildContents(order)});
    files->push_back({InFolder(base + ".hhk"), BuildIndex(order)});
    files->push_back({base + ".hhp", BuildProject(book, chmPath, base, order)});
    return true;
}
