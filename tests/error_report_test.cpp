// Whatever stops a run reaches the person in Spanish: the command line prints it
// and exits with the error status; the window shows it and goes on.
#include "cli/cli_interface.h"
#include "cli/run_reporting.h"
#include "common/error_report.h"
#include "common/system_reason.h"
#include "common/user_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <future>
#include <new>
#include <stdexcept>
#include <system_error>

namespace {

struct Stop {
    const char *name;
    std::function<void()> thrown;
    QString said;
    int status;
};

std::vector<Stop> stops()
{
    return {
        {"an error of the run", [] { throw UserError(QStringLiteral("Falta la tabla X.")); },
            QStringLiteral("Falta la tabla X."), exit_status::error},
        {"a decision missing", [] { throw DecisionMissing(QStringLiteral("Indique --frames.")); },
            QStringLiteral("Indique --frames."), exit_status::decisionMissing},
        {"no memory left", [] { throw std::bad_alloc(); }, error_texts::noMemory(), exit_status::error},
        {"a thread the system refused",
            [] { throw std::system_error(EAGAIN, std::generic_category(), "Resource temporarily unavailable"); },
            error_texts::systemRefused(disk::reason(EAGAIN)), exit_status::error},
        {"a system error of another category",
            [] { throw std::system_error(std::make_error_code(std::future_errc::broken_promise)); },
            error_texts::systemRefused(
                QString::fromStdString(std::make_error_code(std::future_errc::broken_promise).message())),
            exit_status::error},
        {"a fault of the program", [] { throw std::out_of_range("vector::_M_range_check"); },
            error_texts::unexpected(QStringLiteral("vector::_M_range_check")), exit_status::error},
    };
}

} // namespace

TEST(ErrorReport, TheCommandLinePrintsEveryStopInSpanishAndExitsWithItsStatus)
{
    for (const Stop &stop : stops()) {
        SCOPED_TRACE(stop.name);
        testing::internal::CaptureStderr();
        const int status = runReportingErrors([&] {
            stop.thrown();
            return exit_status::completed;
        });
        const QString printed = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(status, stop.status);
        EXPECT_EQ(printed.toStdString(), (stop.said + QLatin1Char('\n')).toStdString());
    }
}

TEST(ErrorReport, TheSystemsReasonsAreSpanish)
{
    EXPECT_EQ(errorMessage(std::system_error(ENOMEM, std::system_category())),
        QStringLiteral("El sistema no ha permitido terminar el proceso: no queda memoria. Cierre otros programas y "
                       "vuelva a intentarlo."));
}
