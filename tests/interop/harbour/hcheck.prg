/* Harbour DBFCDX checker of the shared-use cross-check (run by run.sh): opens TABLE SHARED and
 * walks every tag: ordKeyCount() against the keys walked, keys in ascending order, each stored
 * key (ordKeyVal) equal to its record's key, every record met once (once for FOR tags when it
 * passes the condition); then every record's memo begins "ID=<ID> VER=<VER> ".
 * Harbour's errors (corrupted index and others) are counted as failures.
 *    hcheck TABLE                     prints "harbour: R records, T tags, F failures"
 */
#include "dbinfo.ch"

REQUEST DBFCDX

PROCEDURE Main( cTable )
   LOCAL nFail := 0, nTag, nRec, aSeen, xPrev, xKey, nWalk, nCount, cFor, lFirst, cHead, oErr, nTags := 0

   rddSetDefault( "DBFCDX" )
   Set( _SET_DELETED, .F. )
   Set( _SET_EXACT, .T. )
   Set( _SET_DBFLOCKSCHEME, Val( hb_defaultValue( hb_GetEnv( "HB_LOCKSCHEME" ), "0" ) ) )
   BEGIN SEQUENCE WITH {| e | Break( e ) }
      USE ( cTable ) SHARED NEW
      nTags := ordCount()
      FOR nTag := 1 TO nTags
         ordSetFocus( nTag )
         cFor := ordFor()
         aSeen := Array( LastRec() )
         AFill( aSeen, 0 )
         nCount := ordKeyCount()
         nWalk := 0
         lFirst := .T.
         dbGoTop()
         DO WHILE ! Eof()
            nWalk++
            xKey := ordKeyVal()
            IF ! ( xKey == &( ordKey() ) )
               nFail := Fail( nFail, "tag " + ordName() + " rec " + hb_ntos( RecNo() ) + ": stored key " + hb_ValToExp( xKey ) + " record gives " + hb_ValToExp( &( ordKey() ) ) )
            ENDIF
            IF ! lFirst .AND. xKey < xPrev
               nFail := Fail( nFail, "tag " + ordName() + " out of order at rec " + hb_ntos( RecNo() ) )
            ENDIF
            aSeen[ RecNo() ]++
            xPrev := xKey
            lFirst := .F.
            dbSkip()
         ENDDO
         IF nWalk != nCount
            nFail := Fail( nFail, "tag " + ordName() + ": ordKeyCount " + hb_ntos( nCount ) + ", walked " + hb_ntos( nWalk ) )
         ENDIF
         FOR nRec := 1 TO LastRec()
            dbGoto( nRec )
            IF aSeen[ nRec ] != iif( Empty( cFor ) .OR. &( cFor ), 1, 0 )
               nFail := Fail( nFail, "tag " + ordName() + ": rec " + hb_ntos( nRec ) + " met " + hb_ntos( aSeen[ nRec ] ) + " times" )
            ENDIF
         NEXT
      NEXT
      ordSetFocus( 0 )
      FOR nRec := 1 TO LastRec()
         dbGoto( nRec )
         cHead := "ID=" + FIELD->ID + " VER=" + hb_ntos( FIELD->VER ) + " "
         IF ! ( Left( FIELD->NOTE, Len( cHead ) ) == cHead )
            nFail := Fail( nFail, "rec " + hb_ntos( nRec ) + " (" + FIELD->ID + ") memo " + hb_ValToExp( Left( FIELD->NOTE, 30 ) ) )
         ENDIF
      NEXT
      nRec := LastRec()
      dbCloseAll()
   RECOVER USING oErr
      nFail := Fail( nFail, "error " + iif( HB_ISOBJECT( oErr ), oErr:subsystem + "/" + hb_ntos( oErr:subCode ) + " " + oErr:description + " " + oErr:operation + " " + oErr:filename, hb_ValToExp( oErr ) ) )
      nRec := -1
   END SEQUENCE
   OutStd( "harbour: " + hb_ntos( nRec ) + " records, " + hb_ntos( nTags ) + " tags, " + hb_ntos( nFail ) + " failures" + hb_eol() )
   ErrorLevel( iif( nFail == 0, 0, 1 ) )
RETURN

STATIC FUNCTION Fail( nFail, cText )
   IF nFail < 20
      OutStd( "FAIL " + cText + hb_eol() )
   ENDIF
RETURN nFail + 1
