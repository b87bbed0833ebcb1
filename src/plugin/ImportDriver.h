#pragma once

// The read request: options, banner, loading and building, and the closing line.

#include <maya/MFileObject.h>
#include <maya/MPxFileTranslator.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class QVXTranslator;

MStatus importFile(QVXTranslator& translator, const MFileObject& file, const MString& optionsString,
                   MPxFileTranslator::FileAccessMode mode);
