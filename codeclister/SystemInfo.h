// The facts about the machine shown in the system information list and the report.
#pragma once

#include "codeclister/ReportText.h"

// Needs COM initialised on the calling thread.
SystemRows CollectSystemRows();
