#include "plugin/ImportDriver.h"

#include "host/Messages.h"
#include "plugin/QVXTranslator.h"
#include "plugin/RequestLog.h"

MStatus importFile(QVXTranslator& translator, const MFileObject& file, const MString& optionsString,
                   MPxFileTranslator::FileAccessMode /*mode*/) {
    const MString path = file.fullName();
    translator.lastFile = file;
    parseOptionString(optionsString.asChar(), OptionDriver::Import, translator.options);

    logBanner("Tavrin Pro Importer for Maya");
    logLine("QVX: Preparing scene from file...");
    logOptionValuesToHost(OptionDriver::Import, translator.options);
    logOptionValuesToStderr(OptionDriver::Import, translator.options);
    translator.sourcePath = path.asChar();

    translator.scene.clear();
    logLine("QVX: Finished.");
    flushLog();
    return MStatus::kSuccess;
}
