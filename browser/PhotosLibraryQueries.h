// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The queries that list the photos of a photo library database, one row
// per photo (a photo in several albums is still one row), photos in the
// trash left out. Every column is read as text.
namespace PhotosLibraryQueries {

// The older layout ("database/photos.db"): per master file its latest
// version that is not in the trash. Columns: master uuid, image path,
// file size, version uuid, version id, file name, the first album link.
inline constexpr int OldColumns = 7;
inline constexpr const char *Old = R"sql(
SELECT m.uuid, m.imagePath, m.fileSize, v.uuid, v.modelId, m.fileName,
       (SELECT MIN(av.modelId) FROM RKAlbumVersion av WHERE av.versionId = v.modelId)
FROM RKVersion v JOIN RKMaster m ON m.uuid = v.masterUuid
WHERE IFNULL(v.isInTrash, 0) = 0 AND IFNULL(m.isInTrash, 0) = 0
  AND v.modelId = (SELECT MAX(w.modelId) FROM RKVersion w
                   WHERE w.masterUuid = v.masterUuid AND IFNULL(w.isInTrash, 0) = 0)
ORDER BY v.modelId
)sql";

// The newer layout ("database/Photos.sqlite"). Columns: stored file name,
// directory, attributes row, creation and modification dates, original
// size and name, row key, uuid, kind, type identifier.
inline constexpr int NewColumns = 11;
#define CALVORN_NEW_LAYOUT_QUERY(assetTable)                                                                 \
    "SELECT a.ZFILENAME, a.ZDIRECTORY, a.ZADDITIONALATTRIBUTES, a.ZDATECREATED, a.ZMODIFICATIONDATE, "       \
    "x.ZORIGINALFILESIZE, x.ZORIGINALFILENAME, a.Z_PK, a.ZUUID, a.ZKIND, a.ZUNIFORMTYPEIDENTIFIER "          \
    "FROM " assetTable " a LEFT JOIN ZADDITIONALASSETATTRIBUTES x ON x.Z_PK = a.ZADDITIONALATTRIBUTES "      \
    "WHERE IFNULL(a.ZTRASHEDSTATE, 0) = 0 "                                                                  \
    "ORDER BY a.Z_PK"
// Libraries whose asset table is ZASSET, and the earlier ZGENERICASSET.
inline constexpr const char *AssetTable = "ZASSET";
inline constexpr const char *New = CALVORN_NEW_LAYOUT_QUERY("ZASSET");
inline constexpr const char *GenericAssetTable = "ZGENERICASSET";
inline constexpr const char *NewGeneric = CALVORN_NEW_LAYOUT_QUERY("ZGENERICASSET");
#undef CALVORN_NEW_LAYOUT_QUERY

} // namespace PhotosLibraryQueries
