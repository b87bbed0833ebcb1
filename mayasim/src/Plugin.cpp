// Plug-in modules: loading and unloading as the host does it, MFnPlugin, and the translator registry.
#include <dlfcn.h>
#include <link.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>

#include <algorithm>

#include "Access.h"
#include "HostState.h"

using mayasim::Access;
using mayasim::HostState;
using mayasim::PluginObject;
using mayasim::TranslatorEntry;

namespace {

// The entry points have C++ linkage and take the plug-in object by value.
using EntryPoint = MStatus (*)(MObject);
constexpr const char* kInitializeSymbol = "_Z16initializePlugin7MObject";
constexpr const char* kUninitializeSymbol = "_Z18uninitializePlugin7MObject";
// The host accepts modules built against any API version of its own release.
constexpr const char* kReleasePrefix = "2015";

std::string baseName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

PluginObject* attachedPlugin(const MFnPlugin& fn) {
    auto& p = Access::fnObject(fn);
    return p ? static_cast<PluginObject*>(p.get()) : nullptr;
}

// Drops the registrations a plug-in left behind; their objects' code is about to be unmapped.
void dropRegistrations(HostState& h, const PluginObject* plugin) {
    auto& t = h.translators;
    t.erase(std::remove_if(t.begin(), t.end(), [&](const auto& e) { return e->owner.get() == plugin; }),
            t.end());
}

bool definedIn(void* handle, const void* symbol) {
    link_map* map = nullptr;
    Dl_info info{};
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !dladdr(symbol, &info) || !info.dli_fname)
        return false;
    return std::string(info.dli_fname) == std::string(map->l_name ? map->l_name : "");
}

MStatus fail(const std::string& message, std::string* error) {
    if (error) *error = message;
    mayasim::logLine(mayasim::Severity::kError, message);
    return MS::kFailure;
}

}  // namespace

namespace mayasim {

MStatus loadPlugin(const std::string& path, std::string* error) {
    HostState& h = host();
    if (h.findPlugin(path) || h.findPlugin(baseName(path))) return MS::kSuccess;  // already loaded

    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        return fail("Unable to dynamically load : " + path + "\n" + (why ? why : ""), error);
    }
    auto closeAndFail = [&](const std::string& message) {
        dlclose(handle);
        return fail(message, error);
    };

    // Look the version up in the module itself, not in the libraries it links.
    const char* version = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    if (version && !definedIn(handle, version)) version = nullptr;
    if (!version) return closeAndFail("(" + baseName(path) + ") is not a plug-in: it exports no MApiVersion");
    std::string versionText(version);
    if (versionText.compare(0, 4, kReleasePrefix) != 0)
        return closeAndFail("(" + baseName(path) + ") was built for API version " + versionText +
                            " and cannot be loaded by API version " + std::to_string(MAYA_API_VERSION));

    auto init = reinterpret_cast<EntryPoint>(dlsym(handle, kInitializeSymbol));
    if (!init) return closeAndFail("(" + baseName(path) + ") has no initializePlugin function");

    auto plugin = std::make_shared<PluginObject>();
    plugin->name = baseName(path);
    plugin->path = path;
    plugin->apiVersionText = versionText;
    plugin->handle = handle;
    plugin->loaded = true;
    h.plugins.push_back(plugin);

    MStatus status = init(Access::wrap(plugin));
    if (!status) {
        dropRegistrations(h, plugin.get());
        plugin->loaded = false;
        h.plugins.erase(std::find(h.plugins.begin(), h.plugins.end(), plugin));
        return closeAndFail("initializePlugin function failed (" + plugin->name + ")");
    }
    return MS::kSuccess;
}

MStatus unloadPlugin(const std::string& nameOrPath, std::string* error) {
    HostState& h = host();
    std::shared_ptr<PluginObject> plugin = h.findPlugin(nameOrPath);
    if (!plugin) return fail("Plug-in " + nameOrPath + " is not loaded", error);

    auto uninit = reinterpret_cast<EntryPoint>(dlsym(plugin->handle, kUninitializeSymbol));
    if (uninit) {
        // A plug-in whose uninitializePlugin fails stays loaded.
        MStatus status = uninit(Access::wrap(plugin));
        if (!status) return fail("uninitializePlugin function failed (" + plugin->name + ")", error);
    }
    dropRegistrations(h, plugin.get());
    plugin->loaded = false;
    h.plugins.erase(std::find(h.plugins.begin(), h.plugins.end(), plugin));
    dlclose(plugin->handle);
    plugin->handle = nullptr;
    return MS::kSuccess;
}

bool isPluginLoaded(const std::string& nameOrPath) {
    return host().findPlugin(nameOrPath) != nullptr;
}

std::vector<std::string> loadedPlugins() {
    std::vector<std::string> names;
    for (auto& p : host().plugins) names.push_back(p->name);
    return names;
}

std::vector<std::string> translatorNames() {
    std::vector<std::string> names;
    for (auto& t : host().translators) names.push_back(t->name);
    return names;
}

bool findTranslator(const std::string& name, TranslatorInfo& out) {
    HostState& h = host();
    TranslatorEntry* e = h.findTranslator(name);
    if (!e) return false;
    out = TranslatorInfo{};
    out.name = e->name;
    out.pixmap = e->pixmap;
    out.optionsScript = e->optionsScript;
    out.defaultOptions = e->defaultOptions;
    out.dataLocation = e->dataLocation;
    out.plugin = e->owner ? e->owner->name : std::string();
    out.requiresFullMel = e->requiresFullMel;
    if (MPxFileTranslator* t = h.translatorObject(*e)) {
        out.haveRead = t->haveReadMethod();
        out.haveWrite = t->haveWriteMethod();
        out.haveNamespaceSupport = t->haveNamespaceSupport();
        out.haveReference = t->haveReferenceMethod();
        out.allowMultipleFileOptimization = t->allowMultipleFileOptimization();
        out.canBeOpened = t->canBeOpened();
        out.extension = fromM(t->defaultExtension());
        out.filter = fromM(t->filter());
    }
    return true;
}

MPxFileTranslator* hostTranslator(const std::string& name) {
    HostState& h = host();
    TranslatorEntry* e = h.findTranslator(name);
    return e ? h.translatorObject(*e) : nullptr;
}

std::unique_ptr<MPxFileTranslator> createTranslator(const std::string& name) {
    TranslatorEntry* e = host().findTranslator(name);
    if (!e || !e->creator) return nullptr;
    return std::unique_ptr<MPxFileTranslator>(static_cast<MPxFileTranslator*>(e->creator()));
}

}  // namespace mayasim

const MString MFnPlugin::kDefaultDataLocation("data");

MFnPlugin::MFnPlugin() = default;
MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version, const char* requiredApiVersion,
                     MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (status) {
        PluginObject* p = attachedPlugin(*this);
        // The first construction (at load) names the vendor; later ones do not overwrite it.
        if (p->vendor.empty()) {
            p->vendor = vendor ? vendor : "";
            p->version = version ? version : "";
            p->requiredApiVersion = requiredApiVersion ? requiredApiVersion : "";
        }
    }
    if (ReturnStatus) *ReturnStatus = status;
}
MFnPlugin::MFnPlugin(const MObject& object, const char*, const char*, const char*, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus) *ReturnStatus = status;
}
MFnPlugin::~MFnPlugin() = default;
MFn::Type MFnPlugin::type() const {
    return MFn::kPlugin;
}
const char* MFnPlugin::className() {
    return "MFnPlugin";
}

#define MAYASIM_PLUGIN_FIELD(method, field)                                \
    MString MFnPlugin::method(MStatus* ReturnStatus) const {               \
        PluginObject* p = attachedPlugin(*this);                           \
        if (ReturnStatus) *ReturnStatus = p ? MS::kSuccess : MS::kFailure; \
        return p ? mayasim::toM(p->field) : MString();                     \
    }
MAYASIM_PLUGIN_FIELD(vendor, vendor)
MAYASIM_PLUGIN_FIELD(version, version)
MAYASIM_PLUGIN_FIELD(apiVersion, apiVersionText)
MAYASIM_PLUGIN_FIELD(name, name)
MAYASIM_PLUGIN_FIELD(loadPath, path)
#undef MAYASIM_PLUGIN_FIELD

MStatus MFnPlugin::registerFileTranslator(const MString& translatorName, const char* pixmapName,
                                          MCreatorFunction creatorFunction, const char* optionsScriptName,
                                          const char* defaultOptionsString, bool requiresFullMel,
                                          MString dataStorageLocation) {
    PluginObject* p = attachedPlugin(*this);
    if (!p || !p->loaded) return MS::kFailure;
    if (translatorName.length() == 0 || !creatorFunction) return MS::kInvalidParameter;
    HostState& h = mayasim::host();
    if (h.findTranslator(mayasim::fromM(translatorName))) {
        mayasim::logLine(mayasim::Severity::kError,
                         "File translator " + mayasim::fromM(translatorName) + " is already registered");
        return MS::kFailure;
    }
    auto e = std::make_unique<TranslatorEntry>();
    e->name = mayasim::fromM(translatorName);
    e->pixmap = pixmapName ? pixmapName : "";
    e->optionsScript = optionsScriptName ? optionsScriptName : "";
    e->defaultOptions = defaultOptionsString ? defaultOptionsString : "";
    e->dataLocation = mayasim::fromM(dataStorageLocation);
    e->requiresFullMel = requiresFullMel;
    e->creator = creatorFunction;
    e->owner = std::static_pointer_cast<PluginObject>(Access::fnObject(*this));
    h.translators.push_back(std::move(e));
    return MS::kSuccess;
}

MStatus MFnPlugin::deregisterFileTranslator(const MString& translatorName) {
    PluginObject* p = attachedPlugin(*this);
    if (!p) return MS::kFailure;
    HostState& h = mayasim::host();
    auto& t = h.translators;
    auto it = std::find_if(t.begin(), t.end(), [&](const auto& e) {
        return e->name == mayasim::fromM(translatorName) && e->owner.get() == p;
    });
    if (it == t.end()) return MS::kFailure;
    t.erase(it);
    return MS::kSuccess;
}

MObject MFnPlugin::findPlugin(const MString& pluginName) {
    return Access::wrap(mayasim::host().findPlugin(mayasim::fromM(pluginName)));
}
