// The row walk shared by the design table readers. A row is stored under
// its key only when its whole field chain succeeded; a row without a key
// takes the key after the previous row's, stored or not.
#pragma once

#include <string>

#include <tinyxml.h>

#include "document/Conversions.h"
#include "document/FieldReaders.h"
#include "document/ModelTableWalk.h"
#include "host/TableInterface.h"

namespace design {

template <class R, class ReadChain>
bool walkDesignTable(document::SectionIndex& index, const char* tableName, TableInterface<int, R>* table,
                     ReadChain readChain)
{
    TiXmlElement* row = document::firstRow(index, "DesignDB", tableName);
    if (!row)
        return false;
    int runningKey = 0;
    for (; row; row = row->NextSiblingElement()) {
        TiXmlHandle handle(row);
        std::string keyText;
        bool hasKey = document::readChildText(document::firstChild(handle, "Key"), "Value", keyText);
        // A fresh record per row: an empty element or a list never carries
        // another row's values into this one.
        R record;
        bool complete = readChain(document::firstChild(handle, "Value"), record);
        // Two's-complement step past INT_MAX, without overflow.
        runningKey = hasKey ? document::toInt(keyText.c_str())
                            : static_cast<int>(static_cast<unsigned>(runningKey) + 1u);
        if (complete)
            table->AddData(runningKey, record);
    }
    return true;
}

} // namespace design
