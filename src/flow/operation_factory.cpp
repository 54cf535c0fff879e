// operation_factory.cpp - the operations this build has.
#include "flow/operation_factory.h"

#include "content/non_secure_content_downloader.h"
#include "content/orb_game_downloader.h"

HRESULT COperationFactory::Create(OperationType type, std::unique_ptr<IFlowOperation>* operation) {
  if (operation == nullptr) return E_POINTER;
  operation->reset();
  switch (type) {
    // Each operation plugs in here with its flow's adapter.
    case OperationType::kPlainMedia:
      return MakeFlowOperation<CPlainMediaOperation<CNonSecureContentDownloader>>(operation);
    case OperationType::kGamePackage:
      return MakeFlowOperation<CGamePackageOperation<COrbGameDownloader>>(operation);
    case OperationType::kComicVideo:
      break;
  }
  return E_NOTIMPL;
}
