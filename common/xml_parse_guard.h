#pragma once
// What every parse of a school's file shares: the options (no network, no DTD, no
// entity expansion, libxml2's own limits on sizes and depth left in force), the
// refusal of documents that declare entities, and libxml2's diagnostics caught and
// turned into one Spanish message that names the file, the line and the column.
// Nothing libxml2 says reaches standard error.

#include "common/xml_document.h"

#include <QString>

#include <functional>

namespace xml {

// The parse options, in one place. Every reader of a school's file: no network,
// no DTD, libxml2's diagnostics caught rather than printed, and libxml2's limits
// left in force (XML_PARSE_HUGE stays out).
// The tree drops whitespace-only text between elements (leaf text is kept).
int treeParseOptions();
// The streaming readers (the export's values, the check's reader of a timetable
// document) keep every text event and decide, as the tree would, which
// whitespace counts.
int streamParseOptions();

// Watches one parse on the calling thread from construction to destruction:
// installs a structured error handler on the context (and, for the messages
// libxml2 raises without a context, such as a byte the declared encoding lacks,
// on the thread while the parse runs), and stops the parse at the first entity
// declaration. Construct it after the context's SAX handler is set up.
class ParseGuard {
public:
    ParseGuard(_xmlParserCtxt *context, QString path);
    ~ParseGuard();
    ParseGuard(const ParseGuard &) = delete;
    ParseGuard &operator=(const ParseGuard &) = delete;

    // For readers that keep text without libxml2's tree builder, which is where
    // libxml2 limits it: a value longer than libxml2 lets a tree hold (ten million
    // characters) ends the parse of the guarded context as the tree's limit would.
    static constexpr int kLongestValue = 10'000'000;
    static void refuseValueTooLong(_xmlParserCtxt *context);

    // Whether anything went wrong: an error libxml2 reported or an entity declared.
    bool failed() const;
    // The Spanish message of what went wrong, naming the file; throws UserError.
    [[noreturn]] void throwError() const;
    // What went wrong, in Spanish without the file's name, and its line (0 when
    // unknown): for a reader that reports it as a finding of its own.
    QString reason() const;
    int line() const;

    struct State; // what the parse reported, kept where libxml2's handlers reach it

private:
    State *m_state;
};

// Runs read (a parse on context) under a ParseGuard: the document when the file is
// well-formed and the guard saw nothing wrong, else the guard's Spanish message
// (UserError) with the partial document freed. The caller owns the context.
DocumentPtr readGuarded(_xmlParserCtxt *context, const QString &path, const std::function<_xmlDoc *()> &read);

} // namespace xml
