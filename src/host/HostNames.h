#pragma once

// Names of host nodes as the plug-in passes them on: full DAG paths of the nodes it made,
// and text quoted for the host's command language.

#include <maya/MObject.h>
#include <maya/MString.h>

#include <string>

// The host's command-language string literal of `text`: in double quotes, with backslash,
// double quote and the control characters escaped, so that no character of a name can end
// the literal or start another word or command.
std::string quoteForCommand(const std::string& text);

// The full DAG path ("|qvxTransform|hip") of a DAG node's first path; empty when `node` is
// not a DAG node.
MString fullPathOf(const MObject& node);
