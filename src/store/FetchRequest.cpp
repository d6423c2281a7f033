#include "store/FetchRequest.h"

FetchRequest::FetchRequest(QString entityName, Predicate predicate,
                           std::vector<SortDescriptor> sortDescriptors)
    : entityName_(std::move(entityName)), predicate_(std::move(predicate)),
      sortDescriptors_(std::move(sortDescriptors))
{}
