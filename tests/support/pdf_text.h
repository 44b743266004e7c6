#pragma once
// A PDF's text as poppler's pdftotext finds it (package poppler-utils,
// installed by scripts/install-deps.sh): each page's words with their
// boxes, or each page's text laid out in lines.
#include <gtest/gtest.h>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/child_process.h"

namespace velmorin::testing {

struct PdfWord {
    QString text;
    QRectF box;  // points, from the page's top-left corner
};

// The words of a page in reading order; what lies off the page is left out.
struct PdfPage {
    QSizeF size;
    std::vector<PdfWord> words;

    // The words joined by single spaces, to look for a phrase.
    QString Text() const {
        QStringList texts;
        for (const PdfWord& word : words) texts << word.text;
        return texts.join(u' ');
    }

    // Words that share a line (tops within a point), from the top of the
    // page down, each line's words from left to right and its box.
    std::vector<PdfWord> Lines() const {
        std::vector<PdfWord> sorted = words;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const PdfWord& a, const PdfWord& b) { return a.box.top() < b.box.top(); });
        std::vector<std::vector<PdfWord>> groups;
        for (const PdfWord& word : sorted) {
            if (groups.empty() || word.box.top() - groups.back().front().box.top() > 1) groups.emplace_back();
            groups.back().push_back(word);
        }
        std::vector<PdfWord> lines;
        for (std::vector<PdfWord>& group : groups) {
            std::stable_sort(group.begin(), group.end(),
                             [](const PdfWord& a, const PdfWord& b) { return a.box.left() < b.box.left(); });
            PdfWord line = group.front();
            for (size_t i = 1; i < group.size(); ++i) {
                line.text += u' ' + group[i].text;
                line.box |= group[i].box;
            }
            lines.push_back(line);
        }
        return lines;
    }
};

// Through our own child process rather than QProcess: QProcess starts its
// child with a raw clone() that the thread checker's runtime cannot follow.
inline QString PdfToText(const QStringList& arguments) {
    std::vector<std::string> args;
    for (const QString& argument : arguments) args.push_back(argument.toStdString());
    ChildProcess extract("/usr/bin/pdftotext", args);
    extract.CloseInput();
    const std::optional<int> status = extract.Wait(std::chrono::seconds(20));
    if (!extract.started() || status != 0) {
        ADD_FAILURE() << "pdftotext (poppler-utils, scripts/install-deps.sh) failed: "
                      << arguments.join(u' ').toStdString();
        return {};
    }
    return QString::fromStdString(extract.out);
}

inline std::vector<PdfPage> PdfWords(const QString& path) {
    const QString html = PdfToText({QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
                       R"re(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<PdfPage> pages;
    for (const QRegularExpressionMatch& m : tag.globalMatch(html)) {
        if (!m.captured(1).isEmpty()) {
            pages.push_back({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}});
        } else if (!pages.empty()) {
            pages.back().words.push_back({m.captured(7).replace(QStringLiteral("&amp;"), QStringLiteral("&")),
                                          QRectF(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                                                 QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()))});
        }
    }
    return pages;
}

// Where a word is: its page (from 0) and box, or page -1 when it is on none.
inline std::pair<int, QRectF> FindWord(const std::vector<PdfPage>& pages, const QString& text) {
    for (size_t p = 0; p < pages.size(); ++p) {
        for (const PdfWord& word : pages[p].words)
            if (word.text == text) return {static_cast<int>(p), word.box};
    }
    return {-1, {}};
}

// Each page's lines as pdftotext lays them out, runs of spaces made one.
inline std::vector<QStringList> PdfLines(const QString& path) {
    const QString text = PdfToText({QStringLiteral("-layout"), path, QStringLiteral("-")});
    std::vector<QStringList> pages;
    static const QRegularExpression spaces(QStringLiteral(" {2,}"));
    for (const QString& page : text.split(u'\f')) {
        QStringList lines;
        for (QString line : page.split(u'\n')) {
            line = line.trimmed().replace(spaces, QStringLiteral(" "));
            if (!line.isEmpty()) lines << line;
        }
        if (!lines.isEmpty()) pages.push_back(lines);
    }
    return pages;
}

}  // namespace velmorin::testing
