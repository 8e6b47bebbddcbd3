// Factories of the value model. Each takes an optional trailing result
// (0, or a negative code with null returned).
#pragma once

#include <cstdint>

#include "tolvcomm/value.h"
#include "tolvcomm/varbind.h"

IPmsValue* pms_create_value(std::int32_t type, std::int32_t* result);
IPmsValue* pms_create_value_from_int(std::int32_t value, std::int32_t type, std::int32_t* result);
IPmsValue* pms_create_value_from_text(const char* text, std::int32_t type, std::int32_t* result);
IPmsOid* pms_create_oid(std::int32_t* result);
IPmsOid* pms_create_oid_from_text(const char* text, std::int32_t* result);
IPmsVarBind* pms_create_varbind(std::int32_t* result);
IPmsVarBindList* pms_create_varbind_list(std::int32_t* result);
