-- The board side of the parallel port: turns EPP cycles into cycles of the internal bus, as the
-- board's CPLD does. A 32-bit address is loaded by address write cycles, least significant
-- byte first; a byte counter picks the byte, and a data cycle or the fourth address byte sets
-- it back to the first, so every four-cycle address transfer loads a whole address even after
-- a stray address cycle. Each data cycle works at the address and then moves it on by one. An
-- address read cycle answers id_byte.
--
-- The port's lines come from another clock domain: they are synchronised, and a cycle is
-- answered (nWait high) only once the bus has done its part, so the design may hold a read
-- for as long as it needs. The host's strobe release ends the cycle (nWait low again).
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_epp_slave is
  generic (
    -- The identification byte: EPP signature 10xx10xx, bit 5 the XCV300, Done and InitN high.
    id_byte : std_logic_vector(7 downto 0) := x"AB"
  );
  port (
    clk           : in    std_logic;
    rst           : in    std_logic;
    n_addr_strobe : in    std_logic;
    n_data_strobe : in    std_logic;
    n_write       : in    std_logic;
    data          : inout std_logic_vector(7 downto 0);
    n_wait        : out   std_logic := '0';
    bus_addr      : out   std_logic_vector(31 downto 0);
    bus_wdata     : out   std_logic_vector(7 downto 0);
    bus_we        : out   std_logic;
    bus_re        : out   std_logic;
    bus_rdata     : in    std_logic_vector(7 downto 0);
    bus_wait      : in    std_logic
  );
end entity;

architecture rtl of kivo_epp_slave is
  type state_t is (idle, read_strobe, read_held, answered);
  signal state      : state_t := idle;
  signal astb_sync  : std_logic_vector(1 downto 0) := "11";
  signal dstb_sync  : std_logic_vector(1 downto 0) := "11";
  signal write_sync : std_logic_vector(1 downto 0) := "11";
  signal address    : unsigned(31 downto 0) := (others => '0');
  signal byte_index : natural range 0 to 3 := 0;
  signal dout       : std_logic_vector(7 downto 0) := (others => '0');
  signal drive      : std_logic := '0';
  signal advance    : std_logic := '0';   -- move the address on when the cycle ends
begin
  data <= dout when drive = '1' else (others => 'Z');
  bus_addr <= std_logic_vector(address);

  process (clk)
    variable astb, dstb, host_writes : boolean;
  begin
    if rising_edge(clk) then
      astb_sync <= astb_sync(0) & n_addr_strobe;
      dstb_sync <= dstb_sync(0) & n_data_strobe;
      write_sync <= write_sync(0) & n_write;
      astb := astb_sync(1) = '0';
      dstb := dstb_sync(1) = '0';
      host_writes := write_sync(1) = '0';
      bus_we <= '0';
      bus_re <= '0';
      if rst = '1' then
        state <= idle;
        n_wait <= '0';
        drive <= '0';
        advance <= '0';
        byte_index <= 0;
        address <= (others => '0');
      else
        case state is
          when idle =>
            if astb and host_writes then
              address(8 * byte_index + 7 downto 8 * byte_index) <= unsigned(to_X01(data));
              byte_index <= (byte_index + 1) mod 4;
              n_wait <= '1';
              state <= answered;
            elsif astb then
              dout <= id_byte;
              drive <= '1';
              n_wait <= '1';
              state <= answered;
            elsif dstb and host_writes then
              bus_wdata <= to_X01(data);
              bus_we <= '1';
              byte_index <= 0;
              advance <= '1';
              n_wait <= '1';
              state <= answered;
            elsif dstb then
              bus_re <= '1';
              byte_index <= 0;
              state <= read_strobe;
            end if;
          when read_strobe =>
            state <= read_held;
          when read_held =>
            -- The byte belongs to the first clock after the strobe in which the design does
            -- not hold the read.
            if bus_wait /= '1' then
              dout <= bus_rdata;
              drive <= '1';
              advance <= '1';
              n_wait <= '1';
              state <= answered;
            end if;
          when answered =>
            if not astb and not dstb then
              n_wait <= '0';
              drive <= '0';
              if advance = '1' then
                address <= address + 1;
              end if;
              advance <= '0';
              state <= idle;
            end if;
        end case;
      end if;
    end if;
  end process;
end architecture;
