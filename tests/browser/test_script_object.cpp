// The scripting object: its type information, late-bound calls and SCBT.
#include "browser/GetData_TLB_Impl.h"
#include "browser/ScriptBridge.h"
#include "platform/MessageBox.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {
struct Obj {
    ComPtr<IDispatch> d{new TMyExternal()};
};

// The bank the test opened is DataModule1's.
int favourite(TDataModule1&, int id) {
    return FavouriteMark(id);
}

const char* kBank = "INSERT INTO 小题 VALUES(123,123,101,'单项选择题','题','A','',0,0);"
                    "INSERT INTO 小题 VALUES(7,7,101,'单项选择题','题','A','',0,0);";
} // namespace

TEST(TypeLibrary, DescribesGetDataAsBuiltIntoTheExecutable) {
    ITypeLib* raw = nullptr;
    ASSERT_EQ(LoadTypeLib(ModuleFileName(), &raw), S_OK);
    ComPtr<ITypeLib> lib;
    lib.attach(raw);
    EXPECT_EQ(lib->Name(), "GetData");
    EXPECT_EQ(lib->LibAttr().Guid, LIBID_GetData);
    EXPECT_EQ(lib->LibAttr().MajorVersion, 1);
    EXPECT_EQ(lib->LibAttr().MinorVersion, 0);
    EXPECT_EQ(lib->LibAttr().Lcid, 0u);
    EXPECT_EQ(lib->ImportedLibraries(), QStringList{"stdole2.tlb"});
    EXPECT_EQ(lib->GetTypeInfoCount(), 1u);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(IID_IGetData, &info), S_OK);
    ComPtr<ITypeInfo> hold;
    hold.attach(info);
    EXPECT_EQ(info->TypeFlags(), 0x1140u);
    ASSERT_EQ(info->Functions().size(), 1u);
    const TFuncDesc& f = info->Functions()[0];
    EXPECT_EQ(f.Name, "DoSeaarchData");
    EXPECT_EQ(f.MemId, 201);
    EXPECT_EQ(f.VtableSlot, 7);
    ASSERT_EQ(f.Params.size(), 2u);
    EXPECT_EQ(f.Params[0].Name, "ASQL");
    EXPECT_TRUE(f.Params[0].In);
    EXPECT_TRUE(f.Params[1].RetVal);
    ITypeInfo* none = reinterpret_cast<ITypeInfo*>(&hold);
    EXPECT_EQ(lib->GetTypeInfoOfGuid(IID_IDispatch, &none), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(none, nullptr);
}

TEST(ScriptObject, NamesAndTypeInformation) {
    Obj o;
    unsigned n = 0;
    EXPECT_EQ(o.d->GetTypeInfoCount(&n), S_OK);
    EXPECT_EQ(n, 1u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(o.d->GetTypeInfo(1, 0, &info), DISP_E_BADINDEX);
    EXPECT_EQ(info, nullptr);
    ASSERT_EQ(o.d->GetTypeInfo(0, 0, &info), S_OK);
    EXPECT_EQ(info->Guid(), IID_IGetData);
    info->Release();

    DISPID id = 0;
    EXPECT_EQ(o.d->GetIDsOfNames(IID{}, {"DoSeaarchData"}, 0, &id), S_OK);
    EXPECT_EQ(id, 201);
    EXPECT_EQ(o.d->GetIDsOfNames(IID{}, {"doseaarchdata"}, 0, &id), S_OK); // names ignore case
    EXPECT_EQ(o.d->GetIDsOfNames(IID{}, {"DoSearchData"}, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    void* p = nullptr;
    EXPECT_EQ(o.d->QueryInterface(IID_IGetData, &p), S_OK);
    EXPECT_EQ(p, static_cast<void*>(o.d.get()));
    static_cast<IUnknown*>(p)->Release();
}

TEST(ScriptObject, InvokeConvertsANumberToTheStringTheUpdateUses) {
    MessageBoxRecorder boxes;
    OpenBank bank(kBank);
    Obj o;
    DISPPARAMS params;
    params.rgvarg.push_back(VARIANT::FromInt(123));
    VARIANT result;
    EXPECT_EQ(o.d->Invoke(201, IID{}, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(result.bstrVal, "ok");
    EXPECT_EQ(favourite(bank.Module(), 123), 1);
    EXPECT_EQ(favourite(bank.Module(), 7), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "已经成功地收藏了本题!");
    EXPECT_EQ(boxes.shown[0].caption, "收藏成功");
    EXPECT_EQ(boxes.shown[0].flags, 64);

    // Property puts, unknown members and wrong argument counts are refused.
    EXPECT_EQ(o.d->Invoke(201, IID{}, 0, DISPATCH_PROPERTYPUT, &params, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(o.d->Invoke(202, IID{}, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    DISPPARAMS none;
    EXPECT_EQ(o.d->Invoke(201, IID{}, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST(Favourites, SCBTMarksReportsAndRefusesAnythingButANumber) {
    MessageBoxRecorder boxes;
    OpenBank bank(kBank);
    std::string result;
    bank.Module().SCBT("7", result);
    EXPECT_EQ(result, "ok");
    bank.Module().SCBT("7", result); // again: same message, still 1
    EXPECT_EQ(result, "ok");
    EXPECT_EQ(favourite(bank.Module(), 7), 1);
    bank.Module().SCBT("999", result); // no such question: nothing to update, still "ok"
    EXPECT_EQ(result, "ok");
    ASSERT_EQ(boxes.shown.size(), 3u);

    for (const char* bad :
         {"123 OR 1=1", "123; UPDATE 小题 SET 是否收藏=1", "", "abc", "1.5", "12345678901"}) {
        bank.Module().SCBT(bad, result);
        EXPECT_EQ(result, "Error") << bad;
        EXPECT_EQ(boxes.shown.back().text, "收藏失败，请重新操作!");
        EXPECT_EQ(boxes.shown.back().caption, "收藏失败");
        EXPECT_EQ(boxes.shown.back().flags, 64);
    }
    EXPECT_EQ(favourite(bank.Module(), 123), 0);
}

TEST(Favourites, ADatabaseFailureIsTheFailureMessage) {
    MessageBoxRecorder boxes;
    OpenBank bank("DROP TABLE 小题;");
    std::string result;
    bank.Module().SCBT("7", result);
    EXPECT_EQ(result, "Error");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "收藏失败，请重新操作!");
}

// A looping page's calls can reach a busy program in one batch, before the
// first has run: that first call is still answered, the rest are not.
TEST(ScriptBridgeLoop, ABatchOfCallsRunsItsFirstAndNothingMore) {
    MessageBoxRecorder boxes;
    OpenBank bank(kBank);
    Obj o;
    ScriptBridge bridge(o.d.get(), nullptr);
    for (int i = 0; i < 6; ++i)
        bridge.invoke(QStringLiteral("DoSeaarchData"), {i == 0 ? 123 : 7});
    QCoreApplication::processEvents();
    EXPECT_EQ(favourite(bank.Module(), 123), 1);
    EXPECT_EQ(favourite(bank.Module(), 7), 0);
    EXPECT_EQ(boxes.shown.size(), 1u);

    // Until the page is loaded again, it is not answered at all.
    bridge.invoke(QStringLiteral("DoSeaarchData"), {7});
    QCoreApplication::processEvents();
    EXPECT_EQ(favourite(bank.Module(), 7), 0);
    bridge.PageChanged();
    bridge.invoke(QStringLiteral("DoSeaarchData"), {7});
    QCoreApplication::processEvents();
    EXPECT_EQ(favourite(bank.Module(), 7), 1);
}
