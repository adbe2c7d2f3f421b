#pragma once
// Turns the errors of a command body into the message and exit status the person sees.

#include "cli/cli_interface.h"
#include "cli/commands.h"
#include "common/error_report.h"

template <typename Body> int runReportingErrors(Body body)
{
    try {
        return body();
    } catch (const DecisionMissing &decision) {
        standardError() << decision.message() << Qt::endl;
        return exit_status::decisionMissing;
    } catch (const std::exception &error) {
        standardError() << errorMessage(error) << Qt::endl;
        return exit_status::error;
    }
}
