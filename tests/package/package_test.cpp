// The Debian package as CPack makes it: every file in the places Linux hosts
// and users look, and each format loading from a scratch folder it is
// unpacked into, as from an installation.
#include "clap/ClapHost.h"
#include "integration/BundleHost.h"
#include "lv2/Lv2Host.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::string output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
            text.append(buffer.data(), n);
        pclose(pipe);
    }
    return text;
}

// Paths of the archive's entries, without "./", directories ending in "/".
std::vector<std::string> entries(const std::string& deb)
{
    std::vector<std::string> paths;
    std::istringstream listing(output("dpkg-deb -c " + deb));
    for (std::string line; std::getline(listing, line);) {
        const size_t start = line.find(" ./");
        if (start == std::string::npos)
            continue;
        std::string path = line.substr(start + 3);
        path = path.substr(0, path.find(" -> "));
        if (!path.empty())
            paths.push_back(path);
    }
    return paths;
}

const std::array<std::string, 6> kPlaces = {"usr/lib/vst3/OL-7T.vst3/", "usr/lib/lv2/OL-7T.lv2/",
                                            "usr/lib/clap/OL-7T.clap",  "usr/lib/vst/OL-7T.so",
                                            "usr/bin/ol7t-render",      "usr/share/doc/ol7t/"};

bool inOnePlace(const std::string& path)
{
    for (const std::string& place : kPlaces) {
        // The place itself, something inside it, or a folder on the way there.
        if (path.starts_with(place) || (path.ends_with("/") && place.starts_with(path)))
            return true;
    }
    return false;
}

TEST(DebianPackage, HoldsEachFormatInItsPlaceAndEachLoadsFromThere)
{
    setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
    setenv("OL7T_MESSAGEBOX", "stderr", 1);
    std::string pattern = (fs::temp_directory_path() / "ol7t-package-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path work = pattern;
    const std::string deb = (work / "ol7t_" OL7T_VERSION "_amd64.deb").string();
    ASSERT_EQ(std::system(("cpack --config " OL7T_CPACK_CONFIG " -G DEB -B " + work.string() + " >"
                           + (work / "cpack.log").string() + " 2>&1")
                              .c_str()),
              0)
        << "see " << work / "cpack.log";

    const std::vector<std::string> paths = entries(deb);
    for (const std::string& path : paths)
        EXPECT_TRUE(inOnePlace(path)) << path << " is outside the format folders";
    for (const char* needed : {"usr/lib/vst3/OL-7T.vst3/Contents/x86_64-linux/OL-7T.so",
                               "usr/lib/vst3/OL-7T.vst3/Contents/Resources/TextResources.mbres",
                               "usr/lib/lv2/OL-7T.lv2/manifest.ttl", "usr/lib/lv2/OL-7T.lv2/OL-7T.ttl",
                               "usr/lib/lv2/OL-7T.lv2/OL-7T.so", "usr/lib/clap/OL-7T.clap", "usr/lib/vst/OL-7T.so",
                               "usr/bin/ol7t-render", "usr/share/doc/ol7t/OL-7TLevelingAmplifier_EN.pdf"})
        EXPECT_NE(std::find(paths.begin(), paths.end(), needed), paths.end()) << needed;
    const std::string depends = output("dpkg-deb -f " + deb + " Depends");
    for (const char* library : {"libcairo2", "libx11-6", "libsndfile1", "libstdc++6"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from " << depends;

    const fs::path root = work / "root";
    ASSERT_EQ(std::system(("dpkg-deb -x " + deb + " " + root.string()).c_str()), 0);
    const fs::path lib = root / "usr/lib";

    BundleHost vst3((lib / "vst3/OL-7T.vst3").string());
    ASSERT_TRUE(vst3.loaded());
    Steinberg::Vst::HostApplication context;
    Steinberg::IPtr<Steinberg::Vst::IComponent> component(vst3.createComponent(), false);
    ASSERT_TRUE(component);
    EXPECT_EQ(component->initialize(&context), Steinberg::kResultOk) << "its Resources are found where it lies";
    component->terminate();

    Lv2World lv2((lib / "lv2/OL-7T.lv2").string());
    ASSERT_NE(lv2.plugin, nullptr);
    LilvInstance* instance = lv2.instantiate(48000);
    EXPECT_NE(instance, nullptr);
    lilv_instance_free(instance);

    ClapLibrary clap((lib / "clap/OL-7T.clap").string());
    ASSERT_NE(clap.factory, nullptr);
    ClapTestHost host;
    const clap_plugin_t* plugin =
        clap.factory->create_plugin(clap.factory, &host.host, clap.factory->get_plugin_descriptor(clap.factory, 0)->id);
    ASSERT_NE(plugin, nullptr);
    EXPECT_TRUE(plugin->init(plugin));
    plugin->destroy(plugin);

    void* vst2 = dlopen((lib / "vst/OL-7T.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(vst2, nullptr);
    EXPECT_NE(dlsym(vst2, "VSTPluginMain"), nullptr);
    dlclose(vst2);

    const std::string render = (root / "usr/bin/ol7t-render").string() + " --bundle " + (lib / "vst3/OL-7T.vst3").string()
                               + " -o " + (work / "demo.wav").string() + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(render.c_str()), 0);
    EXPECT_TRUE(fs::exists(work / "demo.wav"));

    if (!HasFailure())
        fs::remove_all(work);
}

} // namespace
