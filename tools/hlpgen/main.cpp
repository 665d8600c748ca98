/* hlpgen: builds a Windows Help file (and with --chm-project the HTML Help
 * project of the same topics) from plain topic sources. The file is read back
 * and checked before it is written; on any error nothing is left at the
 * output path, so the build cannot ship a broken file. */
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "hlpgen.h"

static bool ReadSource(const std::string &path, std::string *text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

static bool WriteImage(const std::string &path, const HlpBytes &image)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char *>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    return !out.fail();
}

/* Reports a failure; main returns the status. */
static int Failed(const std::string &message, int status = 1)
{
    std::cerr << message << "\n";
    return status;
}

/* Replaces the folder's contents with the project's files. */
static bool WriteProject(const std::string &folder, const std::vector<HtmlHelpFile> &files)
{
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    for (const HtmlHelpFile &file : files) {
        std::filesystem::path path = std::filesystem::path(folder) / file.name;
        std::filesystem::create_directories(path.parent_path(), error);
        if (error || !WriteImage(path.string(), HlpBytes(file.text.begin(), file.text.end())))
            return false;
    }
    return true;
}

int main(int argc, char **argv)
{
    std::string output, chmProject, chm;
    std::vector<std::string> sources;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else if (arg == "--chm-project" && i + 2 < argc) {
            chmProject = argv[++i];
            chm = argv[++i];
        } else {
            sources.push_back(arg);
        }
    }
    if (output.empty() || sources.empty())
        return Failed("usage: hlpgen -o OUTPUT.hlp [--chm-project FOLDER OUTPUT.chm] SOURCE.txt...", 2);
    static_cast<void>(std::remove(output.c_str())); // no earlier output outlives a failed run; none is fine

    HelpBook book;
    std::string error;
    for (const std::string &source : sources) {
        std::string text;
        if (!ReadSource(source, &text))
            return Failed("hlpgen: cannot read " + source);
        if (!ParseTopicSource(text, source, &book, &error))
            return Failed(error);
    }
    HlpBytes image;
    std::vector<HtmlHelpFile> project;
    if (!FinishTopicSources(&book, &error) || !BuildHelpFile(book, &image, &error) ||
        !VerifyHelpImage(image, book, &error) ||
        (!chmProject.empty() && !BuildHtmlHelpProject(book, chm, &project, &error)))
        return Failed("hlpgen: " + error);
    if (!chmProject.empty() && !WriteProject(chmProject, project))
        return Failed("hlpgen: cannot write the HTML Help project in " + chmProject);
    if (!WriteImage(output, image)) {
        static_cast<void>(std::remove(output.c_str())); // no half-written file; the failure is reported below
        return Failed("hlpgen: cannot write " + output);
    }
    std::cout << "hlpgen: " << output << ": " << book.topics.size() << " topics, " << image.size() << " bytes\n";
    return 0;
}
