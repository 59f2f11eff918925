#include "cups_queue.h"

#if defined(NORVANTA_WITH_CUPS)
#include <cups/cups.h>

#include <algorithm>
#include <cstring>
#endif

namespace norvanta {

#if defined(NORVANTA_WITH_CUPS)

bool queueRefusesJobs(const QString& queue)
{
    const QByteArray name = queue.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest)
        return false;
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool refuses = accepting && std::strcmp(accepting, "false") == 0;
    cupsFreeDests(1, dest);
    return refuses;
}

std::optional<int> lastJobNumber(const QString& queue)
{
    const QByteArray name = queue.toUtf8();
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 1, CUPS_WHICHJOBS_ALL);
    if (count < 0)
        return std::nullopt;
    int last = 0;
    for (int i = 0; i < count; ++i)
        last = std::max(last, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return last;
}

#else

bool queueRefusesJobs(const QString&)
{
    return false;
}

std::optional<int> lastJobNumber(const QString&)
{
    return std::nullopt;
}

#endif

} // namespace norvanta
