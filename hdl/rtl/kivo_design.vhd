-- The reference design behind the bus: the devices of the demonstration board at their
-- addresses. Bus protocol (the BFM and the EPP slave both drive it):
--   write: bus_we high for one clock with bus_addr and bus_wdata;
--   read:  bus_re high for one clock with bus_addr; bus_rdata holds the byte during the next
--          clock, while bus_addr stays put, and is taken at the end of it.
-- Addresses outside every device read 00 and ignore writes.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_design is
  generic (
    ram_base      : std_logic_vector(31 downto 0) := x"10000000";
    ram_addr_bits : positive := 16
  );
  port (
    clk         : in  std_logic;
    rst         : in  std_logic;
    bus_addr    : in  std_logic_vector(31 downto 0);
    bus_wdata   : in  std_logic_vector(7 downto 0);
    bus_we      : in  std_logic;
    bus_re      : in  std_logic;
    bus_rdata   : out std_logic_vector(7 downto 0);
    -- bit 0 of the reset register: the design's own reset, driven by the script's reset
    board_reset : out std_logic
  );
end entity;

architecture rtl of kivo_design is
  constant reset_register_address : std_logic_vector(31 downto 0) := x"FFFFFFFF";
  constant ready_register_address : std_logic_vector(31 downto 0) := x"60000010";

  type source_t is (none, ram, ready);
  signal source : source_t := none;

  signal ram_sel, ready_sel : std_logic;
  signal ram_q, ready_q     : std_logic_vector(7 downto 0);
  signal reset_value        : std_logic_vector(7 downto 0) := (others => '0');
begin
  ram_sel <= '1' when bus_addr(31 downto ram_addr_bits) = ram_base(31 downto ram_addr_bits) else '0';
  ready_sel <= '1' when bus_addr = ready_register_address else '0';

  ram_i : entity work.kivo_ram
    generic map (addr_bits => ram_addr_bits)
    port map (clk => clk, sel => ram_sel, addr => bus_addr(ram_addr_bits - 1 downto 0),
              we => bus_we, wdata => bus_wdata, rdata => ram_q);

  ready_i : entity work.kivo_ready_register
    port map (clk => clk, rst => rst, sel => ready_sel, we => bus_we, re => bus_re,
              wdata => bus_wdata, rdata => ready_q);

  -- The reset register keeps what is written and reads 00.
  process (clk)
  begin
    if rising_edge(clk) then
      if rst = '1' then
        reset_value <= (others => '0');
      elsif bus_we = '1' and bus_addr = reset_register_address then
        reset_value <= bus_wdata;
      end if;
      if bus_re = '1' then
        if ram_sel = '1' then
          source <= ram;
        elsif ready_sel = '1' then
          source <= ready;
        else
          source <= none;
        end if;
      end if;
    end if;
  end process;
  board_reset <= reset_value(0);

  with source select bus_rdata <=
    ram_q   when ram,
    ready_q when ready,
    x"00"   when none;
end architecture;
