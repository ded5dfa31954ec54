// The positions of members in JSON texts, for the tools: the catalogue's reading rules keep them
// (catalogue/json_locations.h), since the plugin names the line and column of a value it cannot
// read as the tools do.
#pragma once

#include "catalogue/json_locations.h"

namespace barterbox::tools {

using barterbox::DisplayPath;
using barterbox::IndexJson;
using barterbox::JsonLocations;
using barterbox::MemberPath;
using barterbox::NamePosition;
using barterbox::ParsedJson;
using barterbox::ParseErrorPosition;
using barterbox::ParseJsonText;
using barterbox::PathStep;
using barterbox::PointerPath;
using barterbox::PositionOfOffset;
using barterbox::RepeatedMember;
using barterbox::TextPosition;
using barterbox::ValuePosition;

} // namespace barterbox::tools
