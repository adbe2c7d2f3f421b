#include "export/input_documents.h"

#include <libxml/parser.h>

#include <future>

InputDocuments readInputDocuments(const QString &senecaPath, const QString &planningPath,
    const std::function<void(const ExchangeDocument &)> &whileReadingPlanning)
{
    // libxml2 sets up its shared tables on the first parse; done here, before two
    // parses run at once.
    xmlInitParser();
    std::future<ExchangeValues> planning
        = std::async(std::launch::async, [planningPath] { return ExchangeValues::read(planningPath); });
    std::optional<ExchangeDocument> seneca;
    try {
        seneca.emplace(ExchangeDocument::read(senecaPath));
        if (whileReadingPlanning)
            whileReadingPlanning(*seneca);
    } catch (...) {
        planning.wait(); // its own error, if any, comes second
        throw;
    }
    return {std::move(*seneca), planning.get()};
}
