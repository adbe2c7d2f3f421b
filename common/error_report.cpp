#include "common/error_report.h"

#include "common/system_reason.h"
#include "common/user_error.h"

#include <new>
#include <system_error>

QString errorMessage(const std::exception &error)
{
    if (const auto *userError = dynamic_cast<const UserError *>(&error))
        return userError->message();
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return error_texts::noMemory();
    if (const auto *systemError = dynamic_cast<const std::system_error *>(&error)) {
        const std::error_code code = systemError->code();
        // The system's error numbers have Spanish reasons; other categories only
        // their own (English) text.
        const bool errorNumber
            = code.category() == std::generic_category() || code.category() == std::system_category();
        return error_texts::systemRefused(
            errorNumber ? disk::reason(code.value()) : QString::fromLocal8Bit(code.message().c_str()));
    }
    return error_texts::unexpected(QString::fromLocal8Bit(error.what()));
}
