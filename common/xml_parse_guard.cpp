#include "common/xml_parse_guard.h"

#include "common/user_error.h"
#include "common/xml_windows1252.h"

#include <QDir>

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

namespace xml {

namespace {

// libxml2's limits (a value of at most ten million characters, 256 levels of
// elements) are what keeps a hostile file from taking the machine's memory and time.
constexpr int kEveryRead = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

} // namespace

int treeParseOptions()
{
    return kEveryRead | XML_PARSE_NOBLANKS;
}

int streamParseOptions()
{
    return kEveryRead;
}

struct ParseGuard::State {
    xmlParserCtxtPtr context = nullptr;
    QString path;
    // The first error libxml2 reported, and where the parse stood.
    bool hasError = false;
    int code = 0;
    int domain = 0;
    QByteArray detail;
    int line = 0;
    int column = 0;
    QByteArray encoding; // the encoding the document declares, when it declares one
    bool entityDeclared = false;
    int entityLine = 0;
    // What the thread had before the parse.
    xmlStructuredErrorFunc oldStructured = nullptr;
    void *oldStructuredContext = nullptr;
    xmlGenericErrorFunc oldGeneric = nullptr;
    void *oldGenericContext = nullptr;
    entityDeclSAXFunc oldEntityDecl = nullptr;
};

namespace {

thread_local ParseGuard::State *tCurrent = nullptr;

void positionOf(ParseGuard::State &state, int &line, int &column)
{
    const xmlParserInputPtr input = state.context ? state.context->input : nullptr;
    line = input ? input->line : 0;
    column = input ? input->col : 0;
}

void onError(void *, xmlErrorPtr error)
{
    ParseGuard::State *state = tCurrent;
    if (!state || !error || error->level < XML_ERR_ERROR)
        return;
    if (!state->hasError) {
        state->hasError = true;
        state->code = error->code;
        state->domain = error->domain;
        state->detail = error->message ? QByteArray(error->message).trimmed() : QByteArray();
        // A message raised without a context (a byte the encoding lacks) has no
        // line; the parser's own message that follows it says where it stopped.
        state->line = error->line;
        state->column = error->int2;
        if (state->context && state->context->encoding)
            state->encoding = reinterpret_cast<const char *>(state->context->encoding);
        else if (state->context && state->context->input && state->context->input->encoding)
            state->encoding = reinterpret_cast<const char *>(state->context->input->encoding);
    } else if (state->line <= 0 && error->line > 0) {
        state->line = error->line;
        state->column = error->int2;
    }
}

void silent(void *, const char *, ...) { }

// Séneca and Planificación never declare entities; a declared one is how a file
// makes a few bytes expand into gigabytes, so the parse stops at the declaration.
void onEntityDecl(void *context, const xmlChar *, int, const xmlChar *, const xmlChar *, xmlChar *)
{
    ParseGuard::State *state = tCurrent;
    if (state && !state->entityDeclared) {
        state->entityDeclared = true;
        int column = 0;
        positionOf(*state, state->entityLine, column);
    }
    xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

bool isEncodingError(const ParseGuard::State &state)
{
    return state.domain == XML_FROM_I18N || state.code == XML_ERR_INVALID_CHAR || state.code == XML_ERR_INVALID_ENCODING
        || state.code == XML_I18N_CONV_FAILED;
}

QString reasonOf(const ParseGuard::State &state)
{
    const QByteArray &detail = state.detail;
    if (detail.contains("too long") || detail.contains("huge") || detail.contains("Huge"))
        return QStringLiteral("un valor o un nombre es más largo de lo que se admite (diez millones de caracteres)");
    if (detail.contains("depth"))
        return QStringLiteral("los elementos están anidados a más de 256 niveles");
    if (isEncodingError(state)) {
        const QString encoding
            = state.encoding.isEmpty() ? QStringLiteral("UTF-8") : QString::fromLatin1(state.encoding);
        return QStringLiteral("contiene un byte que no es válido en la codificación %1 que declara el archivo")
            .arg(encoding);
    }
    switch (state.code) {
    case XML_ERR_DOCUMENT_EMPTY:
        return QStringLiteral("el archivo está vacío o no contiene XML");
    case XML_ERR_DOCUMENT_END:
        return QStringLiteral("hay contenido después del final del elemento principal");
    case XML_ERR_UNSUPPORTED_ENCODING:
        return QStringLiteral("declara una codificación de caracteres que no se conoce");
    case XML_ERR_TAG_NAME_MISMATCH:
        return QStringLiteral("una etiqueta de cierre no corresponde al elemento abierto");
    case XML_ERR_TAG_NOT_FINISHED:
        return QStringLiteral("un elemento no se cierra antes del final del archivo");
    case XML_ERR_ATTRIBUTE_REDEFINED:
        return QStringLiteral("un elemento repite un atributo");
    case XML_ERR_LT_IN_ATTRIBUTE:
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
        return QStringLiteral("el valor de un atributo está mal escrito");
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
    case XML_ERR_ENTITYREF_NO_NAME:
    case XML_ERR_NAME_REQUIRED:
        return QStringLiteral("hay un carácter «&» o «<» que no forma parte de ninguna marca (en un texto se "
                              "escriben «&amp;» y «&lt;»)");
    case XML_ERR_GT_REQUIRED:
    case XML_ERR_LTSLASH_REQUIRED:
    case XML_ERR_SPACE_REQUIRED:
        return QStringLiteral("una etiqueta está mal escrita");
    case XML_ERR_NO_MEMORY:
        return QStringLiteral("no hay memoria suficiente para leerlo");
    default:
        break;
    }
    if (state.domain == XML_FROM_IO)
        return QStringLiteral("no se puede leer");
    return QStringLiteral("su marcado XML no es correcto");
}

} // namespace

ParseGuard::ParseGuard(_xmlParserCtxt *context, QString path)
    : m_state(new State)
{
    ensureWindows1252();
    m_state->context = context;
    m_state->path = std::move(path);
    m_state->oldStructured = xmlStructuredError;
    m_state->oldStructuredContext = xmlStructuredErrorContext;
    m_state->oldGeneric = xmlGenericError;
    m_state->oldGenericContext = xmlGenericErrorContext;
    // libxml2 reports some things (a byte the encoding lacks, a file it cannot
    // open) without a parser context, through the thread's handlers.
    xmlSetStructuredErrorFunc(nullptr, onError);
    xmlSetGenericErrorFunc(nullptr, silent);
    if (context && context->sax) {
        context->sax->initialized = XML_SAX2_MAGIC;
        context->sax->serror = onError;
        m_state->oldEntityDecl = context->sax->entityDecl;
        context->sax->entityDecl = onEntityDecl;
    }
    tCurrent = m_state;
}

ParseGuard::~ParseGuard()
{
    if (m_state->context && m_state->context->sax && m_state->context->sax->entityDecl == onEntityDecl)
        m_state->context->sax->entityDecl = m_state->oldEntityDecl;
    xmlSetStructuredErrorFunc(m_state->oldStructuredContext, m_state->oldStructured);
    xmlSetGenericErrorFunc(m_state->oldGenericContext, m_state->oldGeneric);
    tCurrent = nullptr;
    delete m_state;
}

void ParseGuard::refuseValueTooLong(_xmlParserCtxt *context)
{
    if (State *state = tCurrent; state && !state->hasError) {
        state->hasError = true;
        state->code = XML_ERR_NO_MEMORY;
        state->domain = XML_FROM_PARSER;
        state->detail = "huge text node";
        positionOf(*state, state->line, state->column);
    }
    xmlStopParser(context);
}

bool ParseGuard::failed() const
{
    return m_state->hasError || m_state->entityDeclared;
}

void ParseGuard::throwError() const
{
    const QString file = QDir::toNativeSeparators(m_state->path);
    if (m_state->entityDeclared) {
        throw UserError(QStringLiteral("El archivo %1 declara entidades XML (línea %2). Los archivos de Séneca y de "
                                       "Planificación nunca las declaran, y una entidad puede hacer que unos pocos "
                                       "bytes ocupen toda la memoria del equipo: el archivo no se lee. Descárguelo "
                                       "de nuevo del programa que lo dio.")
                            .arg(file)
                            .arg(m_state->entityLine));
    }
    QString where;
    if (m_state->line > 0 && m_state->column > 0)
        where = QStringLiteral(" (línea %1, columna %2)").arg(m_state->line).arg(m_state->column);
    else if (m_state->line > 0)
        where = QStringLiteral(" (línea %1)").arg(m_state->line);
    throw UserError(
        QStringLiteral("El archivo %1 no es un documento XML válido%2: %3.").arg(file, where, reasonOf(*m_state)));
}

QString ParseGuard::reason() const
{
    if (m_state->entityDeclared) {
        return QStringLiteral("declara entidades XML, que un documento de horarios nunca lleva y con las que unos "
                              "pocos bytes pueden ocupar toda la memoria del equipo");
    }
    return reasonOf(*m_state);
}

int ParseGuard::line() const
{
    return m_state->entityDeclared ? m_state->entityLine : m_state->line;
}

DocumentPtr readGuarded(_xmlParserCtxt *context, const QString &path, const std::function<_xmlDoc *()> &read)
{
    const ParseGuard guard(context, path);
    DocumentPtr doc(read());
    if (doc && context->wellFormed && !guard.failed())
        return doc;
    doc.reset();
    guard.throwError();
}

} // namespace xml
