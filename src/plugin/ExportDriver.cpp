#include "plugin/ExportDriver.h"

#include "host/Messages.h"
#include "plugin/QVXTranslator.h"
#include "plugin/RequestLog.h"

MStatus exportFile(QVXTranslator& translator, const MFileObject& /*file*/, const MString& optionsString,
                   MPxFileTranslator::FileAccessMode /*mode*/) {
    parseOptionString(optionsString.asChar(), OptionDriver::Export, translator.options);

    logBanner("Tavrin Pro Exporter for Maya");
    // The host sees the step before the option values, standard error after them.
    static constexpr char kGathering[] = "QVX: Gathering scene...";
    logHost(kGathering);
    logOptionValuesToHost(OptionDriver::Export, translator.options);
    logOptionValuesToStderr(OptionDriver::Export, translator.options);
    logStderr(MString(kGathering) + "\n");

    translator.scene.clear();
    logLine("QVX: Finished.");
    flushLog();
    return MStatus::kSuccess;
}
