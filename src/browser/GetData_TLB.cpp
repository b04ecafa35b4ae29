#include "browser/GetData_TLB.h"

#include "browser/TypeLib.h"

const GUID LIBID_GetData = GUID::Parse("{5646EAE0-177A-42DC-9248-89721D42C546}");
const IID IID_IGetData = GUID::Parse("{82A438A7-656F-4DA4-AD08-D4BE7E9A8FF7}");

void RegisterGetDataThunks() {
    static const bool done = [] {
        // Slot 7: after the three IUnknown and four IDispatch methods.
        RegisterMethodThunk(IID_IGetData, 7, [](void* instance, const std::vector<BSTR>& args, BSTR* result) {
            return static_cast<IGetData*>(instance)->DoSeaarchData(args.at(0), result);
        });
        return true;
    }();
    (void)done;
}
