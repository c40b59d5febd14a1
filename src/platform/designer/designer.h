#pragma once
// The whole report designer component.
#include "platform/designer/database.h"
#include "platform/designer/fields.h"
#include "platform/designer/formula_check.h"
#include "platform/designer/objects.h"
#include "platform/designer/report.h"
#include "platform/designer/report_file.h"
#include "platform/designer/types.h"
