#pragma once

// The write request: options, banner, the export passes, and the closing line.

#include <maya/MFileObject.h>
#include <maya/MPxFileTranslator.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class QVXTranslator;

MStatus exportFile(QVXTranslator& translator, const MFileObject& file, const MString& optionsString,
                   MPxFileTranslator::FileAccessMode mode);
