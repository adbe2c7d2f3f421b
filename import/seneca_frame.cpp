// The streaming pass over the Séneca file. The parser is libxml2's own, with the
// options xml::Document::load uses, and its default tree builder is kept for
// everything outside the root element and for BLOQUE_DATOS until its first child
// node is complete; every other event inside the root is let go as it comes. So
// the nodes kept, and the text the year comes from, are those the whole tree
// would hold, whatever the file holds: entities, CDATA, comments, whitespace.
#include "import/seneca_frame.h"

#include "common/declared_encoding.h"
#include "common/disk_io.h"
#include "common/user_error.h"
#include "common/xml_document.h"
#include "common/xml_parse_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <utility>

namespace {

bool named(const xmlChar *name, const char *expected)
{
    return name && std::strcmp(reinterpret_cast<const char *>(name), expected) == 0;
}

// Follows the parse and decides which events reach the tree builder.
class FrameReader {
public:
    explicit FrameReader(xmlParserCtxtPtr ctxt)
        : m_ctxt(ctxt)
        , m_build(*ctxt->sax)
    {
        xmlSAXHandler &sax = *ctxt->sax;
        sax.startElementNs = startElement;
        sax.endElementNs = endElement;
        sax.characters = characters;
        sax.cdataBlock = cdataBlock;
        sax.comment = comment;
        sax.processingInstruction = processingInstruction;
        sax.reference = reference;
        ctxt->_private = this;
    }

    bool blockFound() const { return m_blockFound; }
    bool yearFound() const { return m_yearFound; }
    const QString &year() const { return m_year; }

private:
    enum class Where {
        Outside, // no element open: the nodes around the root
        Root, // inside the root, nothing kept
        Block, // inside BLOQUE_DATOS, building until its first child node is complete
    };

    static FrameReader *of(void *ctx)
    {
        return static_cast<FrameReader *>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
    }
    // An entity's content is parsed in a context of its own, once, and kept with the
    // entity as the whole tree would keep it.
    bool mine(void *ctx) const { return ctx == m_ctxt; }

    // The block's first child node that is not whitespace alone, once it can grow
    // no more: the year text is taken and nothing more is built.
    void settleIfComplete()
    {
        xmlNodePtr first = m_block ? m_block->children : nullptr;
        while (first && xmlIsBlankNode(first))
            first = first->next;
        if (!first)
            return;
        m_year = xml::text(first).left(4);
        m_yearFound = true;
        m_where = Where::Root;
    }

    // A child node of the block begins: the one before it is complete.
    bool childBegins()
    {
        if (m_where == Where::Block && m_depth == m_blockDepth)
            settleIfComplete();
        return m_where == Where::Block;
    }

    static void startElement(void *ctx, const xmlChar *localname, const xmlChar *prefix, const xmlChar *uri,
        int nbNamespaces, const xmlChar **namespaces, int nbAttributes, int nbDefaulted, const xmlChar **attributes)
    {
        FrameReader &r = *of(ctx);
        r.m_textLetGo = 0;
        bool build = true;
        bool blockBegins = false;
        if (r.mine(ctx)) {
            if (r.m_depth == 0) {
                r.m_rootIsServicio = named(localname, "SERVICIO");
                r.m_where = Where::Root;
            } else if (r.m_depth == 1 && r.m_rootIsServicio && !r.m_blockFound && named(localname, "BLOQUE_DATOS")) {
                blockBegins = true;
            } else {
                build = r.childBegins();
            }
            ++r.m_depth;
        }
        if (!build)
            return;
        r.m_build.startElementNs(
            ctx, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes, nbDefaulted, attributes);
        if (blockBegins) {
            r.m_blockFound = true;
            r.m_block = static_cast<xmlParserCtxtPtr>(ctx)->node;
            r.m_blockDepth = r.m_depth;
            r.m_where = Where::Block;
        }
    }

    static void endElement(void *ctx, const xmlChar *localname, const xmlChar *prefix, const xmlChar *uri)
    {
        FrameReader &r = *of(ctx);
        r.m_textLetGo = 0;
        if (!r.mine(ctx)) {
            r.m_build.endElementNs(ctx, localname, prefix, uri);
            return;
        }
        const int depth = r.m_depth--;
        if (depth == 1) { // the root
            r.m_build.endElementNs(ctx, localname, prefix, uri);
            r.m_where = Where::Outside;
        } else if (depth == r.m_blockDepth && r.m_block) { // the block
            if (r.m_where == Where::Block)
                r.settleIfComplete();
            r.m_build.endElementNs(ctx, localname, prefix, uri);
            r.m_block = nullptr;
            r.m_blockDepth = -1;
            r.m_where = Where::Root;
        } else if (r.m_where == Where::Block) {
            r.m_build.endElementNs(ctx, localname, prefix, uri);
            if (depth == r.m_blockDepth + 1) // a child element of the block is complete
                r.settleIfComplete();
        }
    }

    // Text joins the text node before it, so it completes nothing. Text let go is
    // held to the tree's limit on a text node all the same.
    static void characters(void *ctx, const xmlChar *text, int length)
    {
        FrameReader &r = *of(ctx);
        if (!r.mine(ctx) || r.m_where == Where::Block) {
            r.m_build.characters(ctx, text, length);
            return;
        }
        r.m_textLetGo += length;
        if (r.m_textLetGo > xml::ParseGuard::kLongestValue)
            xml::ParseGuard::refuseValueTooLong(r.m_ctxt);
    }

    static void cdataBlock(void *ctx, const xmlChar *text, int length)
    {
        FrameReader &r = *of(ctx);
        if (!r.mine(ctx) || r.m_where == Where::Block)
            r.m_build.cdataBlock(ctx, text, length);
    }

    // Comments, processing instructions and entity references are whole nodes.
    template <typename Build> static void wholeNode(void *ctx, Build build)
    {
        FrameReader &r = *of(ctx);
        if (!r.mine(ctx) || r.m_where == Where::Outside) {
            build();
            return;
        }
        if (!r.childBegins())
            return;
        build();
        if (r.m_depth == r.m_blockDepth)
            r.settleIfComplete();
    }

    static void comment(void *ctx, const xmlChar *value)
    {
        wholeNode(ctx, [&] { of(ctx)->m_build.comment(ctx, value); });
    }

    static void processingInstruction(void *ctx, const xmlChar *target, const xmlChar *data)
    {
        wholeNode(ctx, [&] { of(ctx)->m_build.processingInstruction(ctx, target, data); });
    }

    static void reference(void *ctx, const xmlChar *name)
    {
        wholeNode(ctx, [&] { of(ctx)->m_build.reference(ctx, name); });
    }

    xmlParserCtxtPtr m_ctxt;
    long long m_textLetGo = 0; // characters of the text node let go, so far
    const xmlSAXHandler m_build; // the default tree builder's callbacks
    Where m_where = Where::Outside;
    int m_depth = 0; // elements open in the file
    bool m_rootIsServicio = false;
    bool m_blockFound = false;
    int m_blockDepth = -1; // the depth of the block's child nodes while it is open
    xmlNodePtr m_block = nullptr;
    bool m_yearFound = false;
    QString m_year;
};

[[noreturn]] void throwNoBlock(const QString &file)
{
    throw UserError(QStringLiteral(
        "El archivo %1 no es un documento de Séneca: le falta el elemento BLOQUE_DATOS dentro de SERVICIO.")
                        .arg(file));
}

[[noreturn]] void throwNoYear(const QString &file)
{
    throw UserError(QStringLiteral("El archivo %1 no tiene datos dentro de BLOQUE_DATOS, así que no indica el curso "
                                   "académico. Elija el archivo de Séneca que se usó en la exportación.")
                        .arg(file));
}

// A file the pass could not read: the document layer names what is wrong with it,
// in its own words, as it would have when loading the file whole.
[[noreturn]] void throwAsDocumentLoad(const QString &path)
{
    xml::Document::load(path);
    throw UserError(QStringLiteral("No se puede leer el archivo %1.").arg(QDir::toNativeSeparators(path)));
}

} // namespace

SenecaFrame SenecaFrame::read(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        throwAsDocumentLoad(path);
    xml::refuseMisdeclaredEncoding(path);

    const xml::ParserPtr parser = xml::newParser(path);
    xmlParserCtxtPtr ctxt = parser.get();
    FrameReader reader(ctxt);
    xml::DocumentPtr doc = xml::readGuarded(ctxt, path, [&] {
        return xmlCtxtReadFile(ctxt, disk::pathForLibxml2(path).constData(), nullptr, xml::treeParseOptions());
    });
    SenecaFrame frame(std::move(doc), reader.year());
    // Only where the root stood matters now.
    if (xmlNodePtr root = frame.rootPlaceholder()) {
        xmlFreeNodeList(root->children);
        root->children = nullptr;
        root->last = nullptr;
    }
    const QString file = QDir::toNativeSeparators(path);
    if (!reader.blockFound())
        throwNoBlock(file);
    if (!reader.yearFound())
        throwNoYear(file);
    return frame;
}

SenecaFrame::SenecaFrame(xml::DocumentPtr doc, QString year)
    : m_doc(std::move(doc))
    , m_year(std::move(year))
{
}

_xmlNode *SenecaFrame::rootPlaceholder() const
{
    return m_doc ? xmlDocGetRootElement(m_doc.get()) : nullptr;
}
