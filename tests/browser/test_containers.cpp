// The client sites: their constant answers, identity, attachment and detachment.
#include "browser/ExternalContainer.h"
#include "browser/WebBrowser.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
IOleClientSite* siteOf(WebBrowser& b) {
    IOleObject* ole = nullptr;
    EXPECT_EQ(b.DefaultInterface()->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
    IOleClientSite* site = nullptr;
    ole->GetClientSite(&site);
    if (site) site->Release();
    return site;
}

// A control whose automation object knows nothing of IOleObject.
class PlainControl : public WebBrowser {
public:
    IUnknown* DefaultInterface() override { return &unknown_; }

private:
    struct Unknown : IUnknown {
        virtual ~Unknown() = default;
        HRESULT QueryInterface(const IID&, void** ppv) override {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
    } unknown_;
};
} // namespace

TEST(NulContainer, EveryAnswerIsConstant) {
    WebBrowser browser;
    TNulWBContainer c(&browser);
    IOleClientSite& site = c;
    IDocHostUIHandler& ui = c;
    int marker = 0;
    void* out = &marker;
    auto cleared = [&] { return out == nullptr; };

    EXPECT_EQ(site.SaveObject(), S_OK);
    EXPECT_EQ(site.GetMoniker(0, 0, reinterpret_cast<IMoniker**>(&out)), E_NOTIMPL);
    EXPECT_TRUE(cleared());
    out = &marker;
    EXPECT_EQ(site.GetContainer(reinterpret_cast<IOleContainer**>(&out)), E_NOINTERFACE);
    EXPECT_TRUE(cleared());
    EXPECT_EQ(site.ShowObject(), S_OK);
    EXPECT_EQ(site.OnShowWindow(1), S_OK);
    EXPECT_EQ(site.RequestNewObjectLayout(), E_NOTIMPL);

    EXPECT_EQ(ui.ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE);
    DOCHOSTUIINFO info;
    info.dwFlags = 0x1234;
    info.pchHostCss = "keep";
    EXPECT_EQ(ui.GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x1234u);
    EXPECT_EQ(info.pchHostCss, "keep");
    EXPECT_EQ(ui.ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(ui.HideUI(), S_OK);
    EXPECT_EQ(ui.UpdateUI(), S_OK);
    EXPECT_EQ(ui.EnableModeless(1), S_OK);
    EXPECT_EQ(ui.OnDocWindowActivate(1), S_OK);
    EXPECT_EQ(ui.OnFrameWindowActivate(0), S_OK);
    EXPECT_EQ(ui.ResizeBorder(nullptr, nullptr, 1), S_FALSE);
    EXPECT_EQ(ui.TranslateAccelerator(nullptr, nullptr, 0), S_FALSE);
    QString key = "untouched";
    EXPECT_EQ(ui.GetOptionKeyPath(&key, 0), E_FAIL);
    EXPECT_EQ(key, "untouched");
    out = &marker;
    EXPECT_EQ(ui.GetDropTarget(nullptr, reinterpret_cast<IDropTarget**>(&out)), E_FAIL);
    EXPECT_TRUE(cleared());
    out = &marker;
    EXPECT_EQ(ui.GetExternal(reinterpret_cast<IDispatch**>(&out)), E_FAIL);
    EXPECT_TRUE(cleared());
    QString* translated = &key;
    EXPECT_EQ(ui.TranslateUrl(0, "file:///x", &translated), E_FAIL);
    EXPECT_EQ(translated, &key);
    out = &marker;
    EXPECT_EQ(ui.FilterDataObject(nullptr, reinterpret_cast<IDataObject**>(&out)), S_FALSE);
    EXPECT_TRUE(cleared());
    EXPECT_FALSE(browser.HasExternal());
}

TEST(NulContainer, OneIdentityNoCountingAndNothingElse) {
    WebBrowser browser;
    TNulWBContainer c(&browser);
    void* a = nullptr;
    void* b = nullptr;
    void* viaSite = nullptr;
    IOleClientSite* site = &c;
    IDocHostUIHandler* ui = &c;
    ASSERT_EQ(site->QueryInterface(IID_IUnknown, &a), S_OK);
    ASSERT_EQ(ui->QueryInterface(IID_IUnknown, &b), S_OK);
    EXPECT_EQ(a, b);
    ASSERT_EQ(ui->QueryInterface(IID_IOleClientSite, &viaSite), S_OK);
    EXPECT_EQ(viaSite, static_cast<void*>(site));
    void* other = &a;
    for (const char* iid : {"{00000119-0000-0000-C000-000000000046}",    // IOleInPlaceSite
                            "{B722BCCB-4E68-101B-A2BC-00AA00404770}",    // IOleCommandTarget
                            "{C4D244B0-D43E-11CF-893B-00AA00BDCE1A}",    // IDocHostShowUI
                            "{6D5140C1-7436-11CE-8034-00AA006009FA}",    // IServiceProvider
                            "{00020400-0000-0000-C000-000000000046}"}) { // IDispatch
        EXPECT_EQ(site->QueryInterface(GUID::Parse(iid), &other), E_NOINTERFACE) << iid;
        EXPECT_EQ(other, nullptr);
    }
    EXPECT_EQ(site->AddRef(), 0xFFFFFFFFu);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ui->Release(), 0xFFFFFFFFu);
    EXPECT_EQ(siteOf(browser), site) << "still attached after every release";
}

TEST(NulContainer, AttachesAtConstructionAndDetachesOnDestruction) {
    WebBrowser browser;
    EXPECT_EQ(siteOf(browser), nullptr);
    {
        TNulWBContainer c(&browser);
        EXPECT_EQ(siteOf(browser), static_cast<IOleClientSite*>(&c));
    }
    EXPECT_EQ(siteOf(browser), nullptr);
}

TEST(NulContainer, ProgrammingErrorsAndABrowserWithoutIOleObject) {
    EXPECT_THROW(TNulWBContainer(nullptr), std::logic_error);
    WebBrowser browser;
    TNulWBContainer c(&browser);
    TNulWBContainer other(&browser);
    EXPECT_THROW(c.AttachClientSite(&other), std::logic_error);
    PlainControl plain;
    try {
        TNulWBContainer bad(&plain);
        FAIL() << "attached";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Browser's Default interface does not support IOleObject");
    }
}

TEST(ExternalContainer, HandsOutTheSameScriptObjectWithAReferenceEachTime) {
    WebBrowser browser;
    TExternalContainer c(&browser);
    ASSERT_TRUE(c.ScriptObject);
    IDispatch* first = nullptr;
    IDispatch* second = nullptr;
    ASSERT_EQ(c.GetExternal(&first), S_OK);
    ASSERT_EQ(c.GetExternal(&second), S_OK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, c.ScriptObject.get());
    // The container, the browser's bridge and our two references.
    EXPECT_EQ(first->Release(), 3u);
    EXPECT_EQ(second->Release(), 2u);
    EXPECT_TRUE(browser.HasExternal());
    EXPECT_EQ(c.AddRef(), 0xFFFFFFFFu);
}

TEST(ExternalContainer, AnUnloadableTypeLibraryLeavesNothingAttached) {
    TestInstall dir({}, false);
    WriteFileBytes(dir.Path("broken.tlb"), "library GetData not-a-guid\n");
    WebBrowser browser;
    for (const std::string& path : {dir.Path("missing.tlb"), dir.Path("broken.tlb")}) {
        try {
            TExternalContainer c(&browser, QString::fromStdString(path));
            FAIL() << "created with " << path;
        } catch (const EOleError& e) {
            EXPECT_TRUE(e.Code == TYPE_E_CANTLOADLIBRARY || e.Code == TYPE_E_INVDATAREAD)
                << std::hex << e.Code;
        }
        EXPECT_EQ(siteOf(browser), nullptr);
        EXPECT_FALSE(browser.HasExternal());
    }
}
