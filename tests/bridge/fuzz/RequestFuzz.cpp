// Fuzzes the checks on messages from page scripts and the conversion of the arguments
// they let through: no input may crash them, every refusal names its reason, and every
// argument a request carries must convert.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "browser/bridge/BridgeRequest.h"
#include "browser/bridge/BridgeValue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString message =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const browser::ParsedRequest parsed = browser::ParseRequest(message);
    if (!parsed.request) {
        if (parsed.problem.isEmpty()) {
            std::abort();  // a refusal without a reason
        }
        return 0;
    }
    const browser::BridgeRequest& request = *parsed.request;
    if (!browser::IsDocumentId(request.document) || request.id < 0) {
        std::abort();
    }
    if (request.op == browser::RequestOp::Invoke) {
        if (request.args.size() > browser::kMaxArguments) {
            std::abort();
        }
        for (const QJsonValue& arg : request.args) {
            QJsonValue inner;
            const bool byReference = browser::ReferenceInner(arg, &inner);
            com::Variant value;
            if (browser::ArgumentToVariant(byReference ? inner : arg, &value) != S_OK) {
                std::abort();  // the checks let through what cannot be passed
            }
        }
    }
    return 0;
}
