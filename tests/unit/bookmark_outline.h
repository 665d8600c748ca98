// What the unit tests of the bookmark readers share: the callback that
// collects what a reader reports.
#pragma once
#include <algorithm>
#include <cstring>
#include <deque>
#include <string>

// Collects what a reader reports as an indented outline: "Name/" for a
// folder, "Title = address" for a bookmark, two spaces per level.
struct Outline {
    struct Node {
        int depth;
    };
    std::deque<Node> folders;
    std::string text;
    int failFolder = -1; // the n-th folder (from 0) is refused
    int folderCount = 0;
    size_t longest = 0;
};

inline void *Collect(void *context, void *parent, const char *name, const char *address)
{
    Outline *outline = static_cast<Outline *>(context);
    int depth = parent ? static_cast<Outline::Node *>(parent)->depth + 1 : 0;
    outline->longest = std::max(outline->longest, strlen(name));
    outline->text += std::string(depth * 2, ' ') + name;
    if (address) {
        outline->longest = std::max(outline->longest, strlen(address));
        outline->text += std::string(" = ") + address + "\n";
        return nullptr;
    }
    outline->text += "/\n";
    if (outline->folderCount++ == outline->failFolder)
        return nullptr;
    outline->folders.push_back({depth});
    return &outline->folders.back();
}

inline std::string Repeat(const std::string &text, size_t count)
{
    std::string result;
    for (size_t i = 0; i < count; ++i)
        result += text;
    return result;
}
