#include "views/LabTable.h"

namespace tervan {

TextGrid LabGrid(const LabResult&)
{
    return {};
}

std::string LabHeading(const LabResult&)
{
    return {};
}

std::string LabSweepTitle(LabSweepKind)
{
    return {};
}

std::string LabSweepValueText(LabSweepKind, int)
{
    return {};
}

TextGrid LabSweepGrid(const LabSweepResult&)
{
    return {};
}

std::string LabSweepHeading(const LabSweepResult&)
{
    return {};
}

ChartData LabSweepChart(const LabSweepResult&)
{
    return {};
}

} // namespace tervan
